#pragma once
// The parameters as users name them: the display values the plug-in shows,
// turned back into normalised values.

#include <cstdint>
#include <optional>
#include <string>

namespace tarvel {

// The normalised value of a display value ("on"/"off", "fast"/"slow", a
// ratio of 1 to 4, a target of -40 to 0); nullopt when the text is not a
// valid value of that parameter (out of range, not a number, unknown word).
std::optional<double> normalisedFromDisplay(std::uint32_t id, const std::string& text);

} // namespace tarvel
