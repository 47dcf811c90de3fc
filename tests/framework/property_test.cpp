#include "framework/property.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace {

using namespace vantle::vst;

picojson::value json(const std::string& text)
{
    picojson::value value;
    const std::string error = picojson::parse(value, text);
    EXPECT_TRUE(error.empty()) << error;
    return value;
}

TEST(PropertyTest, ColorChannelsWrapAndShortArraysKeepTheOldColour)
{
    ColorProperty color;
    int calls = 0;
    color.addListener([&] { ++calls; });
    color.setJson(json("[255, 300, -1, 0.9]"));
    EXPECT_EQ(color.get().GetValue(), 0xFF2CFF00u);
    EXPECT_EQ(calls, 1);

    try {
        color.setJson(json("[255, 0, 0]"));
        FAIL();
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "invalid vector<T> subscript");
    }
    EXPECT_EQ(color.get().GetValue(), 0xFF2CFF00u);
    EXPECT_EQ(calls, 1) << "a failed conversion runs no listener";

    color.setJson(json("[1, 2, 3, 4, \"ignored\"]"));
    EXPECT_EQ(color.get().GetValue(), 0x01020304u);
    color.setJson(json("[1e300, -1e300, 256, 511]"));
    EXPECT_EQ(color.get().GetValue() & 0xFFFFu, 0x00FFu) << "huge numbers convert without overflow";
}

TEST(PropertyTest, IntegersTruncateTowardZeroAndRejectStrings)
{
    IntProperty number;
    number.setJson(json("2.9"));
    EXPECT_EQ(number.get(), 2);
    number.setJson(json("-2.9"));
    EXPECT_EQ(number.get(), -2);
    EXPECT_THROW(number.setJson(json("\"3\"")), std::runtime_error);
    EXPECT_EQ(number.get(), -2);
    number.setJson(json("1e20"));
    EXPECT_EQ(number.get(), 2147483647);
}

TEST(PropertyTest, ListenersRunInOrderOnEveryAssignmentAndEmptyOnesThrow)
{
    DoubleProperty width;
    std::string order;
    width.addListener([&] { order += 'a'; });
    width.addListener([&] { order += 'b'; });
    width.set(1.0);
    width.set(1.0);
    EXPECT_EQ(order, "abab");
    width.addListener(std::function<void()>());
    EXPECT_THROW(width.set(2.0), std::bad_function_call);
}

TEST(PropertyTest, AlignmentNamesAreExact)
{
    AlignmentProperty align;
    align.setJson(json("\"far\""));
    EXPECT_EQ(align.get(), Gdiplus::StringAlignmentFar);
    align.setJson(json("\"near\""));
    EXPECT_EQ(align.get(), Gdiplus::StringAlignmentNear);
    align.setJson(json("\"center\""));
    EXPECT_EQ(align.get(), Gdiplus::StringAlignmentCenter);
    try {
        align.setJson(json("\"Far\""));
        FAIL();
    } catch (const std::logic_error& error) {
        EXPECT_NE(std::string(error.what()).find("Far"), std::string::npos);
    }
    EXPECT_EQ(align.get(), Gdiplus::StringAlignmentCenter);
}

TEST(PropertyTest, PathPrimitivesNeedKindAndPoints)
{
    ArrayProperty<PathPrimitiveProperty> paths;
    paths.setJson(json(R"([{"kind":"lines","points":[[0,0],[10,5]]},{"kind":"beziers","points":[[1,1]],"x":0}])"));
    ASSERT_EQ(paths.get().size(), 2u);
    EXPECT_EQ(paths.get()[0].kind, PathPrimitive::lineStrip);
    EXPECT_EQ(paths.get()[0].points[1], VSTGUI::CPoint(10, 5));
    EXPECT_EQ(paths.get()[1].kind, PathPrimitive::bezierChain);

    try {
        paths.setJson(json(R"([{"kind":"lines"}])"));
        FAIL();
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "invalid map<K, T> key");
    }
    EXPECT_THROW(paths.setJson(json(R"([{"kind":"arc","points":[]}])")), std::logic_error);
    EXPECT_EQ(paths.get().size(), 2u) << "a bad element leaves the old array";
}

TEST(PropertyTest, PointArrayWithABadElementKeepsItsPoints)
{
    ArrayProperty<PointProperty> points;
    points.setJson(json("[[1, 2], [3, 4, 99]]"));
    ASSERT_EQ(points.get().size(), 2u);
    EXPECT_THROW(points.setJson(json("[[0, 0], [1]]")), std::out_of_range);
    ASSERT_EQ(points.get().size(), 2u);
    EXPECT_EQ(points.get()[1], VSTGUI::CPoint(3, 4));
}

TEST(PropertyTest, RectAndStringConvertAsGiven)
{
    RectProperty rect;
    rect.setJson(json("[10, 20, -5, 0.5]"));
    EXPECT_EQ(rect.get(), VSTGUI::CRect(10, 20, -5, 0.5)) << "negative sizes are kept";
    EXPECT_THROW(rect.setJson(json("[1, 2, 3]")), std::out_of_range);
    StringProperty text;
    text.setJson(json("\"\\u00e9t\\u00e9\""));
    EXPECT_EQ(text.get(), "\xc3\xa9t\xc3\xa9");
    EXPECT_THROW(text.setJson(json("4")), std::runtime_error);
}

} // namespace
