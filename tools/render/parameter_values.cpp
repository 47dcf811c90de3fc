#include "tools/render/parameter_values.h"

#include "parameters/display_values.h"

#include <array>

namespace tarvel::render {

namespace {

// Parameter ids as the plug-in registers them.
constexpr std::uint32_t bypassId = 0;
constexpr std::uint32_t speedId = 1;
constexpr std::uint32_t ratioId = 2;
constexpr std::uint32_t stereoRatioId = 3;
constexpr std::uint32_t targetId = 4;

constexpr std::array<ParameterOption, 5> knownOptions{{
    {"bypass", bypassId, "on or off"},
    {"speed", speedId, "fast or slow"},
    {"ratio", ratioId, "1 to 4"},
    {"stereo-ratio", stereoRatioId, "1 to 4"},
    {"target", targetId, "-40 to 0"},
}};

} // namespace

const ParameterOption* findParameterOption(const std::string& option)
{
    for (const auto& known : knownOptions)
        if (option == known.option)
            return &known;
    return nullptr;
}

std::optional<double> normalizedFromDisplay(std::uint32_t id, const std::string& text)
{
    return normalisedFromDisplay(id, text);
}

} // namespace tarvel::render
