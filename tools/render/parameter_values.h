#pragma once
// The plug-in's parameters as a user names them on the command line: the
// display values the plug-in shows, turned into the normalised values a
// host sends.

#include <cstdint>
#include <optional>
#include <string>

namespace tarvel::render {

struct ParameterOption {
    const char* option;    // without the leading dashes
    std::uint32_t id;
    const char* range;     // for error messages
};

// The options that set parameters, or null if the name is not one.
const ParameterOption* findParameterOption(const std::string& option);

// The normalised value for a display value; nullopt when the text is not a
// valid value of that parameter (out of range, not a number, unknown word).
std::optional<double> normalizedFromDisplay(std::uint32_t id, const std::string& text);

} // namespace tarvel::render
