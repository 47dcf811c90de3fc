// Fills, pens, brushes, transforms and clips, probed pixel by pixel.
#include "gdiplus/gdiplus_fixture.h"

#include <cmath>

namespace {

using namespace Gdiplus;
using tarvel::test::GdiplusLayer;

TEST_F(GdiplusLayer, VerticalGradientFillsFromTopColourToBottomColourAndNoFurther)
{
    Bitmap bitmap(40, 40, PixelFormat32bppPARGB);
    Graphics graphics(&bitmap);
    graphics.SetSmoothingMode(SmoothingModeAntiAlias);
    LinearGradientBrush brush(PointF(0, 10), PointF(0, 30), Color(0xFFFF0000), Color(0xFF0000FF));
    GraphicsPath path;
    path.AddRectangle(RectF(10, 10, 20, 20));
    EXPECT_EQ(graphics.FillPath(&brush, &path), Ok);
    EXPECT_GT((pixel(bitmap, 20, 10) >> 16) & 0xFF, 0xF0u) << "whole-coordinate edges stay sharp";
    EXPECT_GT(pixel(bitmap, 20, 29) & 0xFF, 0xF0u);
    EXPECT_EQ(pixel(bitmap, 20, 9), 0u);
    EXPECT_EQ(pixel(bitmap, 20, 30), 0u);
    EXPECT_EQ(pixel(bitmap, 30, 20), 0u);

    const LinearGradientBrush flat(PointF(5, 5), PointF(5, 5), Color(0xFFFFFFFF), Color(0xFFFFFFFF));
    EXPECT_NE(flat.GetLastStatus(), Ok) << "a gradient needs a direction";
    EXPECT_EQ(graphics.FillPath(&flat, &path), InvalidParameter);
}

TEST_F(GdiplusLayer, PensCoverWholePixelsOnWholeCoordinatesAndRejectTooFewPoints)
{
    Bitmap bitmap(50, 50, PixelFormat32bppPARGB);
    Graphics graphics(&bitmap);
    graphics.SetSmoothingMode(SmoothingModeAntiAlias);
    Pen thin(Color(0xFFFFFFFF), 1.0f);
    EXPECT_EQ(graphics.DrawLine(&thin, 5.0f, 20.0f, 45.0f, 20.0f), Ok);
    EXPECT_EQ(alpha(bitmap, 25, 20), 0xFF);
    EXPECT_EQ(alpha(bitmap, 25, 19), 0);
    EXPECT_EQ(alpha(bitmap, 25, 21), 0);

    Pen thick(Color(0xFF00FF00), 3.0f);
    const PointF corner[] = {{5, 30}, {45, 30}, {45, 45}};
    EXPECT_EQ(graphics.DrawLines(&thick, corner, 3), Ok);
    EXPECT_EQ(alpha(bitmap, 30, 31), 0xFF);
    EXPECT_EQ(alpha(bitmap, 45, 40), 0xFF);
    EXPECT_EQ(alpha(bitmap, 30, 40), 0) << "a polyline is not filled";

    EXPECT_EQ(graphics.DrawLines(&thick, corner, 1), InvalidParameter);
    EXPECT_EQ(graphics.GetLastStatus(), InvalidParameter);
    EXPECT_EQ(graphics.GetLastStatus(), Ok) << "reading the status clears it";
}

// Along every ray from the centre, the colour goes linearly from the centre
// colour to the surround colour at the ellipse: alpha is 255 × (1 − r) with
// r the elliptical radius of the pixel's centre.
TEST_F(GdiplusLayer, PathGradientOverAnEllipseIsExactEvenMovedAndScaled)
{
    for (const float scale : {1.0f, 2.0f}) {
        Bitmap bitmap(200, 200, PixelFormat32bppPARGB);
        Graphics graphics(&bitmap);
        graphics.SetSmoothingMode(SmoothingModeAntiAlias);
        graphics.ScaleTransform(scale, scale);
        GraphicsPath path;
        path.AddEllipse(10.0f, 20.0f, 60.0f, 30.0f);
        Matrix shift(1, 0, 0, 1, 5, 5);
        path.Transform(&shift);
        PathGradientBrush brush(&path);
        brush.SetCenterColor(Color(0xFF000000));
        Color rim(0x00000000);
        INT count = 1;
        EXPECT_EQ(brush.SetSurroundColors(&rim, &count), Ok);
        ASSERT_EQ(graphics.FillPath(&brush, &path), Ok);

        int probed = 0;
        for (int y = 0; y < 200; y += 3)
            for (int x = 0; x < 200; x += 3) {
                const double u = ((x + 0.5) / double(scale) - 45) / 30, v = ((y + 0.5) / double(scale) - 40) / 15;
                const double r = std::sqrt(u * u + v * v);
                if (r > 0.97 && r < 1.03)
                    continue; // the antialiased rim
                const int expected = r < 1 ? int(std::lround(255 * (1 - r))) : 0;
                EXPECT_NEAR(alpha(bitmap, x, y), expected, 2) << x << ", " << y << " at scale " << scale;
                probed += r < 1;
            }
        EXPECT_GT(probed, 100);
    }
}

bool close(ARGB actual, ARGB expected)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > 40)
            return false;
    return true;
}

TEST_F(GdiplusLayer, TextureBrushFollowsItsTransformAndClampsOrTiles)
{
    // Two by two texels: red, green over blue, white.
    Bitmap texture(2, 2, PixelFormat32bppPARGB);
    BitmapData data{};
    const Rect all(0, 0, 2, 2);
    ASSERT_EQ(texture.LockBits(&all, ImageLockModeWrite, PixelFormat32bppPARGB, &data), Ok);
    const ARGB texels[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    for (int i = 0; i < 4; ++i)
        reinterpret_cast<ARGB*>(static_cast<BYTE*>(data.Scan0) + (i / 2) * data.Stride)[i % 2] = texels[i];
    ASSERT_EQ(texture.UnlockBits(&data), Ok);

    for (const WrapMode mode : {WrapModeClamp, WrapModeTile}) {
        Bitmap bitmap(80, 80, PixelFormat32bppPARGB);
        Graphics graphics(&bitmap);
        TextureBrush brush(&texture, mode);
        Matrix placement(10, 0, 0, 10, 20, 30); // texels 10 pixels wide, from (20, 30)
        ASSERT_EQ(brush.SetTransform(&placement), Ok);
        graphics.FillRectangle(&brush, 0.0f, 0.0f, 80.0f, 80.0f);
        // Texel centres fall between pixel centres: the bilinear filter
        // mixes in a little of the neighbours.
        EXPECT_PRED2(close, pixel(bitmap, 25, 35), 0xFFFF0000u);
        EXPECT_PRED2(close, pixel(bitmap, 34, 35), 0xFF00FF00u);
        EXPECT_PRED2(close, pixel(bitmap, 25, 44), 0xFF0000FFu);
        EXPECT_PRED2(close, pixel(bitmap, 34, 44), 0xFFFFFFFFu);
        if (mode == WrapModeClamp) {
            EXPECT_EQ(pixel(bitmap, 55, 35), 0u) << "nothing beside the image";
            EXPECT_EQ(pixel(bitmap, 25, 10), 0u);
        } else {
            EXPECT_PRED2(close, pixel(bitmap, 45, 35), 0xFFFF0000u) << "the next tile";
            EXPECT_PRED2(close, pixel(bitmap, 25, 24), 0xFF0000FFu) << "the tile above";
        }
    }
    TextureBrush none(nullptr);
    EXPECT_EQ(none.GetLastStatus(), InvalidParameter);
}

TEST_F(GdiplusLayer, ArcsMakeRoundedCornersAndBothFillModesFill)
{
    Bitmap bitmap(100, 60, PixelFormat32bppPARGB);
    Graphics graphics(&bitmap);
    graphics.SetSmoothingMode(SmoothingModeAntiAlias);
    // The graph's panel: four quarter circles of radius 8 joined by lines.
    GraphicsPath panel(FillModeWinding);
    panel.AddArc(10.0f, 10.0f, 16.0f, 16.0f, 180, 90);
    panel.AddArc(24.0f, 10.0f, 16.0f, 16.0f, 270, 90);
    panel.AddArc(24.0f, 34.0f, 16.0f, 16.0f, 0, 90);
    panel.AddArc(10.0f, 34.0f, 16.0f, 16.0f, 90, 90);
    panel.CloseFigure();
    EXPECT_EQ(panel.GetPointCount(), 16);
    SolidBrush white(Color(0xFFFFFFFF));
    graphics.FillPath(&white, &panel);
    EXPECT_EQ(alpha(bitmap, 10, 11), 0) << "the corner is cut off";
    EXPECT_EQ(alpha(bitmap, 13, 13), 0xFF) << "inside the arc (its centre is at (18, 18))";
    EXPECT_EQ(alpha(bitmap, 11, 30), 0xFF) << "the straight left edge";
    EXPECT_EQ(alpha(bitmap, 41, 30), 0);

    // Two overlapping squares in one path: winding fills their overlap,
    // alternate leaves it out.
    for (const FillMode mode : {FillModeWinding, FillModeAlternate}) {
        GraphicsPath squares(mode);
        squares.AddRectangle(RectF(50, 10, 30, 30));
        squares.AddRectangle(RectF(60, 20, 30, 30));
        Bitmap target(100, 60, PixelFormat32bppPARGB);
        Graphics on(&target);
        on.FillPath(&white, &squares);
        EXPECT_EQ(alpha(target, 70, 30), mode == FillModeWinding ? 0xFF : 0);
        EXPECT_EQ(alpha(target, 55, 15), 0xFF);
    }
}

TEST_F(GdiplusLayer, ClipsAreSavedRestoredAndCarriedThroughTransforms)
{
    Bitmap bitmap(40, 40, PixelFormat32bppPARGB);
    Graphics graphics(&bitmap);
    SolidBrush white(Color(0xFFFFFFFF)), blue(Color(0xFF0000FF));
    graphics.SetClip(Rect(5, 5, 20, 20));
    const GraphicsState state = graphics.Save();
    graphics.IntersectClip(Rect(15, 0, 20, 40));
    graphics.TranslateTransform(3, 3);
    graphics.FillRectangle(&white, -3.0f, -3.0f, 40.0f, 40.0f);
    EXPECT_EQ(alpha(bitmap, 10, 10), 0);
    EXPECT_EQ(alpha(bitmap, 16, 10), 0xFF);
    EXPECT_EQ(alpha(bitmap, 26, 10), 0);

    ASSERT_EQ(graphics.Restore(state), Ok);
    graphics.FillRectangle(&blue, 0.0f, 0.0f, 40.0f, 40.0f);
    EXPECT_EQ(pixel(bitmap, 6, 6), 0xFF0000FFu) << "the clip and transform from before Save";
    EXPECT_EQ(alpha(bitmap, 30, 30), 0);

    // A clip read back in one world space and set again in another lands
    // where the second transform puts it.
    graphics.TranslateTransform(3, 3);
    Region saved;
    ASSERT_EQ(graphics.GetClip(&saved), Ok);
    graphics.ResetClip();
    graphics.ResetTransform();
    graphics.TranslateTransform(10, 10);
    graphics.SetClip(&saved);
    graphics.SetClip(Rect(15, 15, 5, 5), CombineModeExclude);
    graphics.Clear(Color(0xFF00FF00));
    EXPECT_EQ(pixel(bitmap, 12, 12), 0xFF00FF00u);
    EXPECT_EQ(pixel(bitmap, 31, 31), 0xFF00FF00u);
    EXPECT_EQ(pixel(bitmap, 11, 11), 0xFF0000FFu);
    EXPECT_EQ(alpha(bitmap, 27, 27), 0) << "excluded";
    EXPECT_EQ(alpha(bitmap, 32, 32), 0);
}

// The layer draws the subset the views use. What lies beyond it is refused
// with NotImplemented, never drawn differently from the system's GDI+, and a
// refused call leaves the drawing state as it was.
TEST_F(GdiplusLayer, WhatTheViewsDoNotUseIsRefusedAndChangesNothing)
{
    Bitmap bitmap(40, 40, PixelFormat32bppPARGB);
    Graphics graphics(&bitmap);
    ASSERT_EQ(graphics.SetClip(Rect(0, 0, 10, 10)), Ok);
    for (const CombineMode mode : {CombineModeUnion, CombineModeXor, CombineModeComplement}) {
        EXPECT_EQ(graphics.SetClip(Rect(20, 20, 10, 10), mode), NotImplemented) << int(mode);
        EXPECT_EQ(graphics.GetLastStatus(), NotImplemented);
    }
    SolidBrush white(Color(0xFFFFFFFF));
    graphics.FillRectangle(&white, 0, 0, 40, 40);
    EXPECT_EQ(alpha(bitmap, 5, 5), 0xFF);
    EXPECT_EQ(alpha(bitmap, 25, 25), 0) << "the clip from before the refused calls";

    GraphicsPath square;
    square.AddRectangle(RectF(0, 0, 10, 10));
    const PathGradientBrush overSquare(&square);
    EXPECT_EQ(overSquare.GetLastStatus(), NotImplemented);
    GraphicsPath round;
    round.AddEllipse(0.0f, 0.0f, 10.0f, 10.0f);
    PathGradientBrush overEllipse(&round);
    const Color two[] = {Color(0xFF000000), Color(0xFFFFFFFF)};
    INT count = 2;
    EXPECT_EQ(overEllipse.SetSurroundColors(two, &count), NotImplemented);
    const Color same[] = {Color(0xFF102030), Color(0xFF102030)};
    EXPECT_EQ(overEllipse.SetSurroundColors(same, &count), Ok);

    const FontFamily family(u"DejaVu Sans");
    for (const INT style : {INT(FontStyleBold), INT(FontStyleItalic), INT(FontStyleUnderline), INT(FontStyleStrikeout)}) {
        const Font font(&family, 12.0f, style, UnitPixel);
        EXPECT_EQ(font.GetLastStatus(), NotImplemented) << style;
        StringFormat format;
        EXPECT_EQ(graphics.DrawString(u"x", 1, &font, PointF(0, 0), &format, &white), InvalidParameter);
    }
}

TEST_F(GdiplusLayer, ThePageScaleFollowsTheWorldTransformAndIsSavedWithTheState)
{
    Bitmap bitmap(60, 60, PixelFormat32bppPARGB);
    Graphics graphics(&bitmap);
    ASSERT_EQ(graphics.SetPageUnit(UnitPixel), Ok);
    ASSERT_EQ(graphics.SetPageScale(2.0f), Ok);
    const GraphicsState state = graphics.Save();
    graphics.TranslateTransform(5, 0);
    graphics.ResetTransform(); // the world transform only
    graphics.SetClip(Rect(0, 0, 20, 12));
    SolidBrush white(Color(0xFFFFFFFF));
    graphics.FillRectangle(&white, 10.0f, 10.0f, 5.0f, 5.0f);
    EXPECT_EQ(alpha(bitmap, 20, 20), 0xFF);
    EXPECT_EQ(alpha(bitmap, 29, 23), 0xFF);
    EXPECT_EQ(alpha(bitmap, 25, 24), 0) << "clipped at 12 world units, 24 pixels";
    EXPECT_EQ(alpha(bitmap, 19, 20), 0);

    graphics.SetPageScale(1.0f);
    ASSERT_EQ(graphics.Restore(state), Ok);
    EXPECT_EQ(graphics.GetPageScale(), 2.0f);
    EXPECT_EQ(graphics.SetPageScale(0.0f), InvalidParameter);
    EXPECT_EQ(graphics.SetPageUnit(UnitWorld), InvalidParameter);
}

} // namespace
