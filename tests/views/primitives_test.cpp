// Offscreen pixel tests of the gradient rectangle and the stroked path.
#include "toolkit/cframe.h"
#include "toolkit/gdiplus_globals.h"
#include "views/vn_line.h"
#include "views/vn_rect.h"

#include "support/json_value.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace vantle::vst;
using VSTGUI::CFrame;
using VSTGUI::CRect;

using tarvel::test::json;

class PrimitivesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { VSTGUI::GDIPlusGlobals::enter(); }
    static void TearDownTestSuite() { VSTGUI::GDIPlusGlobals::exit(); }

    PrimitivesTest() : frame(CRect(0, 0, 240, 120), nullptr) { frame.setBackgroundColor(0xFF000000); }

    Gdiplus::ARGB pixelAt(int x, int y)
    {
        if (!bitmap)
            bitmap = frame.render();
        Gdiplus::Color color;
        EXPECT_EQ(bitmap->GetPixel(x, y, &color), Gdiplus::Ok);
        return color.GetValue();
    }

    static int channel(Gdiplus::ARGB argb, int shift) { return int((argb >> shift) & 0xFF); }

    CFrame frame;
    Gdiplus::Bitmap* bitmap = nullptr;
};

TEST_F(PrimitivesTest, GradientRectangleHasTopColourOnTopAndApproachesBottomColour)
{
    auto* rect = new VNRect;
    frame.addView(rect);
    rect->setProperty("topColor", json("[255, 255, 0, 0]"));
    rect->setProperty("bottomColor", json("[255, 0, 0, 255]"));
    rect->setProperty("rect", json("[10, 20, 110, 60]"));
    EXPECT_EQ(rect->getViewSize(), CRect(6, 16, 114, 64));

    const auto top = pixelAt(60, 20);
    const auto bottom = pixelAt(60, 59);
    EXPECT_GT(channel(top, 16), 240) << std::hex << top;
    EXPECT_LT(channel(top, 0), 15);
    EXPECT_GT(channel(bottom, 0), 230) << std::hex << bottom;
    EXPECT_LT(channel(bottom, 16), 25);
    EXPECT_EQ(pixelAt(60, 61), 0xFF000000u) << "no outline, nothing below";
    EXPECT_EQ(pixelAt(5, 30), 0xFF000000u);
    EXPECT_FALSE(rect->isDirty());
}

TEST_F(PrimitivesTest, RectangleOfZeroHeightPaintsNothing)
{
    auto* rect = new VNRect;
    frame.addView(rect);
    rect->setProperty("topColor", json("[255, 255, 255, 255]"));
    rect->setProperty("rect", json("[10, 20, 110, 20]"));
    for (int y = 15; y < 26; ++y)
        EXPECT_EQ(pixelAt(60, y), 0xFF000000u) << y;
}

TEST_F(PrimitivesTest, LineViewSizeAlwaysHoldsTheOrigin)
{
    VNLine line({0, 0});
    EXPECT_EQ(line.getViewSize(), CRect(-8, -8, 8, 8));
    line.setProperty("paths", json(R"([{"kind":"lines","points":[[100,50],[200,80]]}])"));
    EXPECT_EQ(line.getViewSize(), CRect(-8, -8, 208, 88));
    line.setProperty("paths", json(R"([{"kind":"lines","points":[]},{"kind":"lines","points":[[-20,5]]}])"));
    EXPECT_EQ(line.getViewSize(), CRect(-28, -8, 8, 13));
}

TEST_F(PrimitivesTest, LineStripsAreStrokedAndJoinedIntoOneFigure)
{
    auto* line = new VNLine({0, 0});
    frame.addView(line);
    line->setProperty("color", json("[255, 255, 255, 255]"));
    line->setProperty("width", json("3"));
    line->setProperty("paths", json(R"([{"kind":"lines","points":[[20,20],[100,20]]},
                                        {"kind":"lines","points":[[100,100],[200,100]]}])"));
    EXPECT_GT(channel(pixelAt(60, 20), 8), 200) << "first strip";
    EXPECT_GT(channel(pixelAt(150, 100), 8), 200) << "second strip";
    EXPECT_GT(channel(pixelAt(100, 60), 8), 200) << "the join from (100, 20) to (100, 100)";
    EXPECT_EQ(pixelAt(60, 60), 0xFF000000u) << "nothing is filled";
}

TEST_F(PrimitivesTest, BezierChainPassesThroughItsEndPoints)
{
    auto* line = new VNLine({0, 0});
    frame.addView(line);
    line->setProperty("color", json("[255, 0, 255, 0]"));
    line->setProperty("width", json("4"));
    line->setProperty("paths", json(R"([{"kind":"beziers","points":[[20,100],[20,20],[180,20],[180,100]]}])"));
    EXPECT_GT(channel(pixelAt(20, 99), 8), 150);
    EXPECT_GT(channel(pixelAt(100, 40), 8), 150) << "the curve's apex at t = 0.5 is y = 40";
    EXPECT_EQ(pixelAt(100, 100), 0xFF000000u) << "a curve, not the chord";
}

TEST_F(PrimitivesTest, MalformedBezierChainLeavesOnlyThatShapeUnpainted)
{
    auto* bad = new VNLine({0, 0});
    auto* good = new VNRect;
    frame.addView(bad);
    frame.addView(good);
    bad->setProperty("color", json("[255, 255, 255, 255]"));
    bad->setProperty("paths", json(R"([{"kind":"beziers","points":[[20,100],[20,20],[180,20]]}])"));
    good->setProperty("rect", json("[0, 0, 10, 10]"));
    good->setProperty("topColor", json("[255, 0, 0, 200]"));
    good->setProperty("bottomColor", json("[255, 0, 0, 200]"));
    EXPECT_EQ(pixelAt(20, 60), 0xFF000000u);
    EXPECT_GT(channel(pixelAt(5, 5), 0), 180);
}

TEST_F(PrimitivesTest, UnknownNamesFallBackToTheBaseView)
{
    VNRect rect;
    rect.setProperty("size", json("[1, 2, 3, 4]"));
    EXPECT_EQ(rect.getViewSize(), CRect(1, 2, 3, 4));
    EXPECT_THROW(rect.setProperty("colour", json("1")), std::logic_error);
    EXPECT_THROW(rect.setProperty("rect", json("[1, 2, 3]")), std::out_of_range);
}

} // namespace
