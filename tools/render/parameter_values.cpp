#include "tools/render/parameter_values.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>

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

std::string lowered(const std::string& text)
{
    std::string result = text;
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::optional<double> number(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Display values that round to a range end in the plug-in's two-decimal
// display are accepted as that end.
constexpr double displayTolerance = 0.005;

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
    const std::string word = lowered(text);
    switch (id) {
    case bypassId:
        if (word == "on")
            return 1.0;
        if (word == "off")
            return 0.0;
        return std::nullopt;
    case speedId:
        if (word == "fast")
            return 0.0;
        if (word == "slow")
            return 1.0;
        return std::nullopt;
    case ratioId:
    case stereoRatioId: {
        // The display is 4 to the power of the normalised value.
        const auto ratio = number(text);
        if (!ratio || *ratio < 1.0 - displayTolerance || *ratio > 4.0 + displayTolerance)
            return std::nullopt;
        return std::clamp(std::log(*ratio) / std::log(4.0), 0.0, 1.0);
    }
    case targetId: {
        // The display is (1 - normalised) times -40.
        const auto target = number(text);
        if (!target || *target < -40.0 - displayTolerance || *target > displayTolerance)
            return std::nullopt;
        return std::clamp(1.0 + *target / 40.0, 0.0, 1.0);
    }
    default:
        return std::nullopt;
    }
}

} // namespace tarvel::render
