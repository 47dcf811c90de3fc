#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "parameters/engine_conversion.h"
#include "parameters/parameter_table.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace tarvel {
namespace {

using Steinberg::Vst::ParameterInfo;
using vantle::decodeLiteral;

TEST(ParameterTable, DescribesTheFiveParametersInIdOrder)
{
    const auto& table = parameterTable();
    for (std::int32_t id = 0; id < ParameterCount; ++id)
        EXPECT_EQ(table[static_cast<std::size_t>(id)].id, id);
    EXPECT_EQ(table[Bypass].flags, ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass);
    EXPECT_EQ(table[Speed].flags, 0);
    for (const auto id : {Ratio, StereoRatio, Target})
        EXPECT_EQ(table[id].flags, ParameterInfo::kCanAutomate);
    EXPECT_EQ(table[Bypass].stepCount, 1);
    EXPECT_EQ(table[Speed].stepCount, 1);
    EXPECT_EQ(table[Ratio].stepCount, 0);

    // Bypass and Ratio carry no unit; Speed and StereoRatio share one.
    EXPECT_EQ(decodeLiteral(table[Bypass].unitLabel), "");
    EXPECT_EQ(decodeLiteral(table[Ratio].unitLabel), "");
    EXPECT_EQ(decodeLiteral(table[Speed].unitLabel), decodeLiteral(table[StereoRatio].unitLabel));
    for (const auto& p : table)
        EXPECT_FALSE(decodeLiteral(p.title).empty());
}

TEST(ParameterTable, DefaultsMatchTheDefaultRecord)
{
    const Parameters defaults;
    EXPECT_EQ(defaults, (Parameters{{0.0f, 1.0f, 0.5f, 0.0f, 0.5f}}));
    for (std::int32_t id = 0; id < ParameterCount; ++id)
        EXPECT_EQ(defaultValue(id), defaults[id]) << id;
    // The ratio defaults are the normalised values of 2:1 and 1:1.
    EXPECT_EQ(displayText(Ratio, defaultValue(Ratio)), displayText(Ratio, 0.5));
    EXPECT_EQ(ratioDisplayValue(defaultValue(StereoRatio)), 1.0f);
}

TEST(DisplayText, ConvertsNormalisedValuesForTheHost)
{
    EXPECT_EQ(displayText(Bypass, 0.5), displayText(Bypass, 1.0));
    EXPECT_NE(displayText(Bypass, 0.49), displayText(Bypass, 0.5));
    EXPECT_EQ(displayText(Speed, 0.5), displayText(Speed, 1.0));
    EXPECT_NE(displayText(Speed, 0.4999), displayText(Speed, 0.5));
    EXPECT_EQ(displayText(Ratio, 0.5), "2.00");
    EXPECT_EQ(displayText(Ratio, 0.0), "1.00");
    EXPECT_EQ(displayText(StereoRatio, 1.0), "4.00");
    EXPECT_EQ(displayText(Target, 0.5), "-20.00");
    EXPECT_EQ(displayText(Target, 0.0), "-40.00");
    EXPECT_EQ(displayText(Target, 1.0), "0.00");
    // Out of range values are clamped, NaN counts as 1.
    EXPECT_EQ(displayText(Ratio, 1.5), "4.00");
    EXPECT_EQ(displayText(Target, -3.0), "-40.00");
    EXPECT_EQ(displayText(Target, std::numeric_limits<double>::quiet_NaN()), "0.00");
    EXPECT_EQ(displayText(Bypass, std::numeric_limits<double>::quiet_NaN()), displayText(Bypass, 1.0));
    EXPECT_EQ(displayText(Bypass, 1e30), displayText(Bypass, 1.0));
}

TEST(EngineConversion, DerivesTheEngineQuantities)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(engineQuantity(Bypass, 0.5f), 1.0f);
    EXPECT_EQ(engineQuantity(Bypass, 0.49f), 0.0f);
    EXPECT_EQ(engineQuantity(Speed, 0.5f), 0.2f);
    EXPECT_EQ(engineQuantity(Speed, 0.49f), 0.02f);
    EXPECT_EQ(engineQuantity(Ratio, 0.0f), 1.0f);
    EXPECT_EQ(engineQuantity(Ratio, 1.0f), 0.25f);
    EXPECT_EQ(engineQuantity(StereoRatio, 1.5f), 0.25f);
    EXPECT_FLOAT_EQ(engineQuantity(Ratio, 0.5f), 0.5f);
    EXPECT_EQ(engineQuantity(Target, 0.0f), -40.0f);
    EXPECT_EQ(engineQuantity(Target, 0.5f), -20.0f);
    EXPECT_EQ(engineQuantity(Target, 1.0f), 0.0f);
    EXPECT_EQ(engineQuantity(Bypass, nan), 1.0f);
    EXPECT_EQ(engineQuantity(Speed, nan), 0.2f);
    EXPECT_EQ(engineQuantity(Ratio, nan), 0.25f);
    EXPECT_EQ(engineQuantity(Target, nan), 0.0f);
}

} // namespace
} // namespace tarvel
