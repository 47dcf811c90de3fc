// Pixel-level checks of the GDI+ layer over libgdiplus, including the quirks
// it hides (memory fonts, unbounded measuring, decoding from memory).
#include "toolkit/gdiplus_globals.h"

#include <gdiplus.h>
#include <gdiplus_linux.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace Gdiplus;

class GdiplusTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { VSTGUI::GDIPlusGlobals::enter(); }
    static void TearDownTestSuite() { VSTGUI::GDIPlusGlobals::exit(); }

    static ARGB pixel(Bitmap& bitmap, int x, int y)
    {
        Color color;
        EXPECT_EQ(bitmap.GetPixel(x, y, &color), Ok);
        return color.GetValue();
    }

    static int inkPixels(Bitmap& bitmap)
    {
        int count = 0;
        for (UINT y = 0; y < bitmap.GetHeight(); ++y)
            for (UINT x = 0; x < bitmap.GetWidth(); ++x)
                if ((pixel(bitmap, int(x), int(y)) >> 24) != 0)
                    ++count;
        return count;
    }

    static std::vector<char> monoFontBytes()
    {
        std::ifstream file("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
};

TEST_F(GdiplusTest, VerticalGradientFillsTopAndBottomRows)
{
    Bitmap bitmap(40, 40, PixelFormat32bppPARGB);
    Graphics graphics(&bitmap);
    LinearGradientBrush brush(PointF(0, 10), PointF(0, 30), Color(0xFFFF0000), Color(0xFF0000FF));
    GraphicsPath path;
    path.AddRectangle(RectF(10, 10, 20, 20));
    EXPECT_EQ(graphics.FillPath(&brush, &path), Ok);

    const ARGB top = pixel(bitmap, 20, 10);
    const ARGB bottom = pixel(bitmap, 20, 29);
    EXPECT_GT((top >> 16) & 0xFF, 0xE0u) << std::hex << top;
    EXPECT_LT(top & 0xFF, 0x20u);
    EXPECT_GT(bottom & 0xFF, 0xD0u) << std::hex << bottom;
    EXPECT_EQ(pixel(bitmap, 20, 5), 0u) << "nothing outside the rectangle";
}

TEST_F(GdiplusTest, StrokedLinesLandOnTheirPoints)
{
    Bitmap bitmap(50, 50, PixelFormat32bppPARGB);
    Graphics graphics(&bitmap);
    Pen pen(Color(0xFF00FF00), 3.0f);
    const PointF points[] = {{5, 5}, {45, 5}, {45, 45}};
    EXPECT_EQ(graphics.DrawLines(&pen, points, 3), Ok);
    EXPECT_EQ(pixel(bitmap, 25, 5) >> 24, 0xFFu);
    EXPECT_EQ(pixel(bitmap, 45, 25) >> 24, 0xFFu);
    EXPECT_EQ(pixel(bitmap, 25, 25), 0u);
    EXPECT_EQ(graphics.DrawLines(&pen, points, 1), InvalidParameter);
    EXPECT_EQ(graphics.GetLastStatus(), InvalidParameter);
    EXPECT_EQ(graphics.GetLastStatus(), Ok) << "reading the status clears it";
}

TEST_F(GdiplusTest, MemoryFontDrawsGlyphsAndMeasuresUnbounded)
{
    const std::vector<char> bytes = monoFontBytes();
    ASSERT_FALSE(bytes.empty());
    PrivateFontCollection collection;
    ASSERT_EQ(collection.AddMemoryFont(bytes.data(), INT(bytes.size())), Ok);
    FontFamily family;
    INT found = 0;
    ASSERT_EQ(collection.GetFamilies(1, &family, &found), Ok);
    ASSERT_EQ(found, 1);
    WCHAR name[LF_FACESIZE] = {};
    EXPECT_EQ(family.GetFamilyName(name), Ok);
    EXPECT_EQ(std::u16string(name), u"DejaVu Sans Mono");

    Font font(&family, 12.0f, FontStyleRegular, UnitPoint);
    ASSERT_TRUE(font.IsAvailable());

    Bitmap probe(1, 1, PixelFormat32bppPARGB);
    Graphics measuring(&probe);
    RectF box;
    EXPECT_EQ(measuring.MeasureString(u"abc", 3, &font, RectF(0, 0, 0, 0), nullptr, &box), Ok);
    EXPECT_GT(box.Width, 10.0f);
    EXPECT_GT(box.Height, 8.0f);

    auto render = [&](const std::u16string& text) {
        auto bitmap = std::make_unique<Bitmap>(80, 30, PixelFormat32bppPARGB);
        Graphics graphics(bitmap.get());
        SolidBrush brush(Color(0xFFFFFFFF));
        EXPECT_EQ(graphics.DrawString(text.c_str(), INT(text.size()), &font, PointF(4, 4), nullptr, &brush), Ok);
        return bitmap;
    };
    auto first = render(u"Ab1");
    auto second = render(u"xyz");
    const int ink = inkPixels(*first);
    EXPECT_GT(ink, 20) << "glyphs, not empty boxes or nothing";
    bool differ = false;
    for (int y = 0; y < 30 && !differ; ++y)
        for (int x = 0; x < 80 && !differ; ++x)
            differ = pixel(*first, x, y) != pixel(*second, x, y);
    EXPECT_TRUE(differ);
}

TEST_F(GdiplusTest, AddMemoryFontRejectsEmptyInput)
{
    PrivateFontCollection collection;
    EXPECT_NE(collection.AddMemoryFont(nullptr, 0), Ok);
    const char garbage[16] = "not a font";
    EXPECT_NE(collection.AddMemoryFont(garbage, sizeof garbage), Ok);
}

TEST_F(GdiplusTest, UndecodableBytesGiveNoImage)
{
    const BYTE garbage[] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(Linux::LoadImageFromMemory(garbage, sizeof garbage), nullptr);
    EXPECT_EQ(Linux::LoadImageFromMemory(nullptr, 0), nullptr);
}

TEST_F(GdiplusTest, SaveAndRestoreBracketTheTransform)
{
    Bitmap bitmap(20, 20, PixelFormat32bppPARGB);
    Graphics graphics(&bitmap);
    const GraphicsState state = graphics.Save();
    graphics.TranslateTransform(10, 10);
    EXPECT_EQ(graphics.Restore(state), Ok);
    SolidBrush brush(Color(0xFFFFFFFF));
    graphics.FillRectangle(&brush, 0.0f, 0.0f, 5.0f, 5.0f);
    EXPECT_EQ(pixel(bitmap, 2, 2) >> 24, 0xFFu);
    EXPECT_EQ(pixel(bitmap, 12, 12), 0u);
}

} // namespace

namespace {

// Locking a part of a bitmap gives that part, every time, and leaves the
// bitmap's own pixels where they were.
TEST(GdiplusLockBits, PartialLocksReadTheSamePixelsEachTime)
{
    VSTGUI::GDIPlusGlobals::enter();
    {
        Gdiplus::Bitmap bitmap(100, 60, PixelFormat32bppPARGB);
        {
            Gdiplus::Graphics graphics(&bitmap);
            for (int x = 0; x < 100; ++x) {
                Gdiplus::SolidBrush column(Gdiplus::Color(255, BYTE(x * 2), 0, 0));
                graphics.FillRectangle(&column, float(x), 0.0f, 1.0f, 60.0f);
            }
        }
        const Gdiplus::Rect part(20, 10, 30, 20);
        for (int lock = 0; lock < 3; ++lock) {
            Gdiplus::BitmapData data{};
            ASSERT_EQ(bitmap.LockBits(&part, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data), Gdiplus::Ok);
            EXPECT_EQ(data.Width, 30u);
            EXPECT_EQ(data.Height, 20u);
            const auto* bytes = static_cast<const BYTE*>(data.Scan0);
            EXPECT_EQ(bytes[2], 40) << "red of column 20, lock " << lock;
            EXPECT_EQ(bytes[19 * data.Stride + 29 * 4 + 2], 98) << "red of column 49, lock " << lock;
            EXPECT_EQ(bitmap.UnlockBits(&data), Gdiplus::Ok);
        }
        Gdiplus::Color color;
        bitmap.GetPixel(0, 0, &color);
        EXPECT_EQ(color.GetR(), 0);
        Gdiplus::BitmapData data{};
        const Gdiplus::Rect outside(90, 0, 20, 10);
        EXPECT_NE(bitmap.LockBits(&outside, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data), Gdiplus::Ok);
    }
    VSTGUI::GDIPlusGlobals::exit();
}

} // namespace
