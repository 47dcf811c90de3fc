// Bitmaps: their pixels through LockBits, drawing them, and PNG decoding
// from memory.
#include "gdiplus/gdiplus_fixture.h"
#include "png_writer.h"

#include <gdiplus_linux.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

using namespace Gdiplus;
using tarvel::test::GdiplusLayer;

ARGB wordAt(const BitmapData& data, int x, int y)
{
    ARGB word;
    std::memcpy(&word, static_cast<const BYTE*>(data.Scan0) + y * data.Stride + x * 4, 4);
    return word;
}

TEST_F(GdiplusLayer, LockBitsHandsOutPremultipliedOrStraightPixelsAndWritesThemBack)
{
    Bitmap bitmap(8, 6, PixelFormat32bppPARGB);
    {
        Graphics graphics(&bitmap);
        graphics.Clear(Color(0x80FF8040));
    }
    BitmapData data{};
    const Rect part(2, 1, 4, 3);
    ASSERT_EQ(bitmap.LockBits(&part, ImageLockModeRead, PixelFormat32bppPARGB, &data), Ok);
    EXPECT_EQ(data.Width, 4u);
    EXPECT_EQ(data.Height, 3u);
    EXPECT_EQ(wordAt(data, 0, 0), 0x80804020u) << "premultiplied";
    EXPECT_EQ(bitmap.LockBits(&part, ImageLockModeRead, PixelFormat32bppPARGB, &data), WrongState);
    ASSERT_EQ(bitmap.UnlockBits(&data), Ok);

    ASSERT_EQ(bitmap.LockBits(&part, ImageLockModeRead | ImageLockModeWrite, PixelFormat32bppARGB, &data), Ok);
    EXPECT_EQ(wordAt(data, 3, 2), 0x80FF8040u) << "straight alpha";
    const ARGB written = 0x40FFFFFF;
    std::memcpy(static_cast<BYTE*>(data.Scan0) + data.Stride + 4, &written, 4);
    ASSERT_EQ(bitmap.UnlockBits(&data), Ok);
    EXPECT_EQ(pixel(bitmap, 3, 2), 0x40FFFFFFu) << "written back at the part's offset";
    EXPECT_EQ(pixel(bitmap, 0, 0), 0x80FF8040u);
    EXPECT_EQ(pixel(bitmap, 7, 5), 0x80FF8040u);

    const Rect outside(6, 0, 4, 1);
    EXPECT_EQ(bitmap.LockBits(&outside, ImageLockModeRead, PixelFormat32bppPARGB, &data), InvalidParameter);
}

TEST_F(GdiplusLayer, ACallersBufferIsDrawnOnInPlace)
{
    std::vector<ARGB> pixels(4 * 4, 0);
    Bitmap bitmap(4, 4, 16, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(pixels.data()));
    ASSERT_EQ(bitmap.GetLastStatus(), Ok);
    {
        Graphics graphics(&bitmap);
        SolidBrush brush(Color(0xFF336699));
        graphics.FillRectangle(&brush, 1.0f, 1.0f, 2.0f, 2.0f);
    }
    EXPECT_EQ(pixels[1 * 4 + 1], 0xFF336699u);
    EXPECT_EQ(pixels[0], 0u);
}

TEST_F(GdiplusLayer, DrawImageCopiesExactlyAndTurnsWithTheTransform)
{
    Bitmap bar(10, 2, PixelFormat32bppPARGB);
    {
        Graphics graphics(&bar);
        graphics.Clear(Color(0xFF20C0E0));
    }
    Bitmap canvas(40, 40, PixelFormat32bppPARGB);
    Graphics graphics(&canvas);
    ASSERT_EQ(graphics.DrawImage(&bar, 3, 4), Ok);
    EXPECT_EQ(pixel(canvas, 3, 4), 0xFF20C0E0u);
    EXPECT_EQ(pixel(canvas, 12, 5), 0xFF20C0E0u);
    EXPECT_EQ(alpha(canvas, 13, 4), 0);
    EXPECT_EQ(alpha(canvas, 3, 6), 0);

    // A quarter turn clockwise about (20, 20): the bar from (20, 19) to
    // (30, 21) comes to stand from (19, 20) to (21, 30).
    graphics.SetSmoothingMode(SmoothingModeAntiAlias);
    graphics.TranslateTransform(20, 20);
    graphics.RotateTransform(90);
    graphics.TranslateTransform(-20, -20);
    ASSERT_EQ(graphics.DrawImage(&bar, 20.0f, 19.0f), Ok);
    EXPECT_EQ(pixel(canvas, 19, 25), 0xFF20C0E0u);
    EXPECT_EQ(pixel(canvas, 20, 29), 0xFF20C0E0u);
    EXPECT_EQ(alpha(canvas, 25, 21), 0);
    EXPECT_EQ(alpha(canvas, 20, 31), 0);
}

TEST_F(GdiplusLayer, PngDecodesFromMemoryWithItsAlpha)
{
    // Written by the project's own encoder, read back as bytes.
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            rgba.insert(rgba.end(), {std::uint8_t(x * 60), std::uint8_t(y * 100), 200, std::uint8_t(x == 4 ? 128 : 255)});
    const std::string path = ::testing::TempDir() + "gdiplus-layer-" + std::to_string(::getpid()) + ".png";
    ASSERT_TRUE(tarvel::png::writeRgba(path, 5, 3, rgba));
    const std::vector<char> bytes = fileBytes(path);
    std::remove(path.c_str());

    const std::unique_ptr<Image> image(
        Linux::LoadImageFromMemory(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 5u);
    EXPECT_EQ(image->GetHeight(), 3u);
    EXPECT_EQ(image->GetPixelFormat(), PixelFormat32bppARGB);
    Bitmap canvas(5, 3, PixelFormat32bppARGB);
    {
        Graphics graphics(&canvas);
        graphics.SetCompositingMode(CompositingModeSourceCopy);
        graphics.DrawImage(image.get(), 0, 0);
    }
    EXPECT_EQ(pixel(canvas, 2, 1), 0xFF7864C8u);
    EXPECT_EQ(pixel(canvas, 4, 2) >> 24, 128u);
    EXPECT_NEAR(int((pixel(canvas, 4, 2) >> 16) & 0xFF), 240, 1) << "straight colour back from premultiplied";

    const std::vector<char> truncated(bytes.begin(), bytes.begin() + std::ptrdiff_t(bytes.size() / 2));
    EXPECT_EQ(Linux::LoadImageFromMemory(reinterpret_cast<const BYTE*>(truncated.data()), truncated.size()), nullptr);
}

} // namespace
