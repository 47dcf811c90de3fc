#include "parameters/parameter_table.h"

#include <cmath>
#include <cstdio>

#include "parameters/engine_conversion.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace tarvel {
namespace {

using Steinberg::Vst::ParameterInfo;
using vantle::scrambleText;

// Normalised value of a ratio display value: the inverse of 4^v.
float normalisedRatio(float display)
{
    return clampNormalised(static_cast<float>(static_cast<double>(std::log(display)) / std::log(4.0)));
}

std::array<ParameterDescription, ParameterCount> buildTable()
{
    constexpr auto noUnit = scrambleText("");
    constexpr auto ratioUnit = scrambleText("");
    return {{
        {Bypass, scrambleText("Bypass"), noUnit, 1, ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass,
         static_cast<float>(static_cast<int>(std::floor(0.5)))},
        {Speed, scrambleText("Speed"), ratioUnit, 1, 0, 1.0f},
        {Ratio, scrambleText("Ratio"), noUnit, 0, ParameterInfo::kCanAutomate, normalisedRatio(2.0f)},
        {StereoRatio, scrambleText("Stereo Ratio"), ratioUnit, 0, ParameterInfo::kCanAutomate, normalisedRatio(1.0f)},
        {Target, scrambleText("Target"), scrambleText("LUFS"), 0, ParameterInfo::kCanAutomate, 0.5f},
    }};
}

std::string formatNumber(float value)
{
    const std::string format = VANTLE_TEXT("%.2f");
    char text[64];
    // Adding zero turns the -0 of (1 - 1) * -40 into 0, so the top of the
    // target range does not read "-0.00".
    std::snprintf(text, sizeof text, format.c_str(), static_cast<double>(value + 0.0f));
    return text;
}

} // namespace

const std::array<ParameterDescription, ParameterCount>& parameterTable()
{
    static const auto table = buildTable();
    return table;
}

float defaultValue(std::int32_t id) { return parameterTable().at(static_cast<std::size_t>(id)).defaultValue; }

std::string displayText(std::int32_t id, double value)
{
    const auto x = static_cast<float>(value);
    switch (id) {
    case Bypass:
        // Rounded to the nearest state; anything that does not round to 0
        // (NaN included) is on.
        return std::floor(static_cast<double>(x) + 0.5) != 0.0 ? VANTLE_TEXT("On") : VANTLE_TEXT("Off");
    case Speed: return x < 0.5f ? VANTLE_TEXT("Fast") : VANTLE_TEXT("Slow");
    case Ratio:
    case StereoRatio: return formatNumber(ratioDisplayValue(x));
    case Target: return formatNumber(targetLevel(x));
    default: return {};
    }
}

} // namespace tarvel
