#pragma once
// What the host is told about each parameter, and the text it displays.

#include <array>
#include <string>

#include "foundation/scrambled_text.h"
#include "parameters/parameters.h"

namespace tarvel {

struct ParameterDescription {
    ParameterId id;
    vantle::ScrambledLiteral title;
    vantle::ScrambledLiteral unitLabel;
    std::int32_t stepCount;
    std::int32_t flags; // Steinberg::Vst::ParameterInfo flags
    float defaultValue;
};

// The five parameters in id order.
const std::array<ParameterDescription, ParameterCount>& parameterTable();

// The default normalised value of a parameter.
float defaultValue(std::int32_t id);

// The display text of a normalised value, for ids 0 to 4. The host's value
// is narrowed to single precision first.
std::string displayText(std::int32_t id, double value);

} // namespace tarvel
