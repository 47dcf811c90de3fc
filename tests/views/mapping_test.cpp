// MyLoudnessMapping probed in offscreen renders: panel, grid, labels in the
// embedded monospaced font, the curve split at the current level, the fill
// beneath the reached part, and the target cross-hair. Probes sit away from
// antialiased edges, so the cairo-drawn GDI+ layer on Linux and Windows'
// GDI+ agree on them.
#include "embedded_assets.h"
#include "framework/resource_cache.h"
#include "toolkit/cframe.h"
#include "toolkit/gdiplus_globals.h"
#include "views/my_loudness_mapping.h"

#include <gtest/gtest.h>

namespace {

using namespace vantle::vst;
using VSTGUI::CPoint;
using VSTGUI::CRect;

class MappingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { VSTGUI::GDIPlusGlobals::enter(); }
    static void TearDownTestSuite() { VSTGUI::GDIPlusGlobals::exit(); }

    MappingTest()
        : cache([](const std::string& name) { return assetBytes(tarvel::uiAssets(), name); }),
          frame(CRect(0, 0, 540, 260), nullptr)
    {
        frame.setBackgroundColor(background);
        mapping = new MyLoudnessMapping(CPoint(300, 30), &cache);
        frame.addView(mapping);
    }

    Gdiplus::Color pixel(int x, int y)
    {
        if (!bitmap)
            bitmap = frame.render();
        Gdiplus::Color color;
        bitmap->GetPixel(x, y, &color);
        return color;
    }
    static int brightness(const Gdiplus::Color& c) { return (c.GetR() + c.GetG() + c.GetB()) / 3; }
    // Pixels brighter than the panel in a box: label ink.
    int inkIn(int left, int top, int right, int bottom)
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                count += brightness(pixel(x, y)) > 90;
        return count;
    }
    // The identity line, as the editor's curve at a 1:1 ratio.
    void identityCurve() { mapping->curvePoints = {CPoint(-68, -68), CPoint(8, 8)}; }

    static constexpr Gdiplus::ARGB background = 0xFF808080;
    ResourceCache cache;
    VSTGUI::CFrame frame;
    MyLoudnessMapping* mapping;
    Gdiplus::Bitmap* bitmap = nullptr;
};

TEST_F(MappingTest, PanelGridAndLabelsOnEvenLines)
{
    EXPECT_EQ(mapping->getViewSize(), CRect(264, 6, 524, 254));
    EXPECT_EQ(pixel(270, 100).GetValue(), background) << "left of the panel";
    EXPECT_EQ(pixel(518, 100).GetValue(), background) << "right of the panel";
    EXPECT_LT(brightness(pixel(274, 100)), 50) << "inside the panel's left edge";
    EXPECT_LT(brightness(pixel(510, 240)), 50) << "inside the bottom right corner";
    EXPECT_GT(brightness(pixel(514, 244)), 60) << "which is rounded";
    EXPECT_EQ(pixel(272, 14).GetValue(), background) << "the corner is rounded";
    // Grid lines every 20 pixels, both ways, over the dark panel.
    EXPECT_GT(brightness(pixel(320, 45)), brightness(pixel(330, 45)) + 25);
    EXPECT_GT(brightness(pixel(335, 70)), brightness(pixel(335, 80)) + 25);
    // Labels left of the grid, on lines 0, 2, 4, ... only, and "-60"
    // reaches further left than "0".
    for (int i = 0; i <= 10; ++i) {
        const int y = 30 + 20 * i;
        const int ink = inkIn(276, y - 6, 300, y + 6);
        if (i % 2 == 0)
            EXPECT_GT(ink, 8) << i;
        else
            EXPECT_EQ(ink, 0) << i;
    }
    EXPECT_EQ(inkIn(276, 24, 290, 36), 0) << "\"0\" is one character";
    EXPECT_GT(inkIn(276, 224, 290, 236), 8) << "\"-60\" is three";
}

TEST_F(MappingTest, CurveIsOpaqueUpToTheLevelTranslucentBeyondAndFilledBeneathTheReachedPart)
{
    identityCurve();
    mapping->currentLevel = -30; // x = 100 in the grid
    const Gdiplus::Color reached = pixel(300 + 50, 30 + 150);  // level -45 on the curve
    const Gdiplus::Color ahead = pixel(300 + 150, 30 + 50);    // level -15 on the curve
    EXPECT_GT(reached.GetR(), 150);
    EXPECT_GT(reached.GetG(), 230);
    EXPECT_LT(ahead.GetR(), 110);
    EXPECT_GT(ahead.GetG(), 140);
    const Gdiplus::Color filled = pixel(300 + 50, 30 + 190);
    const Gdiplus::Color empty = pixel(300 + 150, 30 + 190);
    EXPECT_GT(filled.GetG(), empty.GetG() + 30);
    EXPECT_GT(filled.GetG(), filled.GetR());
    EXPECT_LT(brightness(pixel(300 + 50, 30 + 110)), 60) << "nothing filled above the curve";
    // The end points lie beyond the grid: the curve stops at its edge.
    EXPECT_LT(brightness(pixel(300 - 10, 30 + 210)), 50);
}

TEST_F(MappingTest, LevelAtTheEdgesReachesNothingOrEverything)
{
    identityCurve();
    mapping->currentLevel = -60;
    EXPECT_LT(pixel(300 + 50, 30 + 150).GetR(), 110) << "all translucent";
    const int unfilled = pixel(300 + 50, 30 + 190).GetG();
    mapping->currentLevel = 0;
    mapping->invalid();
    bitmap = nullptr;
    EXPECT_GT(pixel(300 + 150, 30 + 50).GetR(), 150) << "all opaque";
    EXPECT_GT(pixel(300 + 50, 30 + 190).GetG(), unfilled + 30);
}

TEST_F(MappingTest, CrossHairMarksTheTarget)
{
    // (133.3, 66.7) in the grid; without a pixel offset, pixel i is centred
    // on i, so the lines mostly cover pixels 133 and 67.
    mapping->targetLevel = -20;
    const auto isTarget = [](const Gdiplus::Color& c) { return c.GetG() > 150 && c.GetB() > 150 && c.GetR() < 120; };
    EXPECT_TRUE(isTarget(pixel(300 + 133, 30 + 10)));
    EXPECT_TRUE(isTarget(pixel(300 + 10, 30 + 67)));
    EXPECT_FALSE(isTarget(pixel(300 + 137, 30 + 10)));
    EXPECT_FALSE(isTarget(pixel(300 + 50, 30 + 50))) << "no curve without points";
}

TEST_F(MappingTest, FewerLargerCellsSpanLessLevel)
{
    mapping->setProperty("cellCount", picojson::value(6.0));
    mapping->setProperty("cellSize", picojson::value(40.0));
    EXPECT_EQ(mapping->getViewSize(), CRect(264, 6, 524, 254));
    EXPECT_DOUBLE_EQ(mapping->levelToX(-30), 0);
    EXPECT_DOUBLE_EQ(mapping->levelToY(-30), 200);
    for (int i = 0; i <= 5; ++i) {
        const int y = 30 + 40 * i;
        EXPECT_EQ(inkIn(276, y - 6, 300, y + 6) > 8, i % 2 == 0) << i;
    }
}

} // namespace
