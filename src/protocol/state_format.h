#pragma once
// The persisted state of processor and controller: a 32-bit little-endian
// length followed by a compact JSON object of the five normalised values.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "parameters/parameters.h"
#include "pluginterfaces/base/ibstream.h"

namespace tarvel {

using StateValues = std::array<double, ParameterCount>;

// Which side wrote a state; only the kind text differs, no reader checks it.
enum class StateWriter { Processor, Controller };

// No state this plug-in writes comes near this; a larger length word is
// refused before anything is allocated for it.
inline constexpr std::uint32_t maxStateTextBytes = 1u << 20;

// A value that is not finite is written as the value it acts as: infinities
// as 0 or 1, NaN as 1.
std::string stateJson(const StateValues& values, StateWriter writer);

bool writeState(Steinberg::IBStream* stream, const StateValues& values, StateWriter writer) noexcept;

// Missing or mistyped members take their defaults; nullopt on a short read,
// an oversized length, a syntax error or a root that is not an object.
std::optional<StateValues> readState(Steinberg::IBStream* stream) noexcept;

StateValues toStateValues(const Parameters& parameters);
Parameters toParameters(const StateValues& values);

} // namespace tarvel
