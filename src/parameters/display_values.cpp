#include "parameters/display_values.h"

#include "parameters/parameters.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace tarvel {

namespace {

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

std::optional<double> normalisedFromDisplay(std::uint32_t id, const std::string& text)
{
    const std::string word = lowered(text);
    switch (id) {
    case Bypass:
        if (word == "on")
            return 1.0;
        if (word == "off")
            return 0.0;
        return std::nullopt;
    case Speed:
        if (word == "fast")
            return 0.0;
        if (word == "slow")
            return 1.0;
        return std::nullopt;
    case Ratio:
    case StereoRatio: {
        // The display is 4 to the power of the normalised value.
        const auto ratio = number(text);
        if (!ratio || *ratio < 1.0 - displayTolerance || *ratio > 4.0 + displayTolerance)
            return std::nullopt;
        return std::clamp(std::log(*ratio) / std::log(4.0), 0.0, 1.0);
    }
    case Target: {
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

} // namespace tarvel
