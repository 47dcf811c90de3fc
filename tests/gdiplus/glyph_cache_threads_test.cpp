// A glyph cache that starts over while another thread draws a glyph it was
// handed. Run under ThreadSanitizer and AddressSanitizer, where a glyph freed
// while drawn is a reported fault: first the cache alone, small enough that
// it starts over every few glyphs, read the way drawing reads a glyph; then
// two threads drawing text with one face at more sizes than its cache keeps,
// where what each thread draws last must be what the text looks like drawn
// alone.
#include "gdiplus/gdiplus_fixture.h"
#include "gdiplus/glyph_cache.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace Gdiplus;
using tarvel::test::GdiplusLayer;

const std::u16string alphabet = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int width = 900;
constexpr int height = 48;

std::vector<ARGB> drawn(const FontFamily& family, float pixelSize)
{
    Bitmap bitmap(width, height, PixelFormat32bppPARGB);
    {
        Graphics graphics(&bitmap);
        const Font font(&family, pixelSize, FontStyleRegular, UnitPixel);
        SolidBrush ink(Color(0xFFFFFFFF));
        const StringFormat format;
        graphics.DrawString(alphabet.c_str(), -1, &font, PointF(2, 2), &format, &ink);
    }
    std::vector<ARGB> pixels;
    pixels.reserve(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Color color;
            bitmap.GetPixel(x, y, &color);
            pixels.push_back(color.GetValue());
        }
    return pixels;
}

bool hasInk(const std::vector<ARGB>& pixels)
{
    for (const ARGB pixel : pixels)
        if (pixel >> 24 != 0)
            return true;
    return false;
}

SharedGlyph inkedGlyph(unsigned char ink)
{
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, 8, 8);
    cairo_surface_flush(mask);
    unsigned char* data = cairo_image_surface_get_data(mask);
    const int stride = cairo_image_surface_get_stride(mask);
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column)
            data[row * stride + column] = ink;
    cairo_surface_mark_dirty(mask);
    return std::make_shared<const GlyphMask>(mask, 1, 7, 8.0);
}

GlyphKey keyOf(unsigned int glyph) { return {glyph, 12 * 64, true}; }

TEST(GlyphCacheUnderThreads, AGlyphBeingReadOutlivesTheOtherThreadStartingTheCacheOver)
{
    GlyphCache cache(4);
    constexpr unsigned char ink = 0x7E;
    cache.keep(keyOf(0), inkedGlyph(ink));
    std::atomic<bool> filled{false};
    std::thread filler([&] {
        // A new glyph, and the read one kept again whenever the cache forgot
        // it: the cache starts over every few calls.
        for (unsigned int glyph = 1; glyph < 6000; ++glyph) {
            cache.keep(keyOf(glyph), inkedGlyph(static_cast<unsigned char>(glyph)));
            cache.keep(keyOf(0), inkedGlyph(ink));
        }
        filled = true;
    });
    long reads = 0, wrong = 0;
    while (!filled) {
        const SharedGlyph glyph = cache.find(keyOf(0));
        if (!glyph)
            continue;
        const unsigned char* data = cairo_image_surface_get_data(glyph->mask);
        const int stride = cairo_image_surface_get_stride(glyph->mask);
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 8; ++column)
                wrong += data[row * stride + column] != ink;
        wrong += glyph->left != 1 || glyph->top != 7;
        ++reads;
    }
    filler.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(wrong, 0);
}

using GlyphCacheThreads = GdiplusLayer;

TEST_F(GlyphCacheThreads, TwoThreadsDrawTextAcrossTheCacheLimitAndEachDrawsWhatOneThreadAloneDraws)
{
    const FontFamily family(u"DejaVu Sans");
    ASSERT_EQ(family.GetLastStatus(), Ok);
    constexpr float checkedSize = 18.0f;
    const std::vector<ARGB> alone = drawn(family, checkedSize);
    ASSERT_TRUE(hasInk(alone));

    // 52 glyphs at 90 sizes a thread, the sizes of the two a 64th of a pixel
    // apart: over 9000 glyphs of one face, more than twice what its cache
    // keeps (4096).
    constexpr int sizes = 90;
    std::atomic<int> blank{0};
    std::atomic<int> different{0};
    const auto drawAll = [&](float offset, bool rising) {
        for (int i = 0; i < sizes; ++i) {
            const int step = rising ? i : sizes - 1 - i;
            if (!hasInk(drawn(family, 10.0f + float(step) / 8.0f + offset)))
                ++blank;
        }
        if (drawn(family, checkedSize) != alone)
            ++different;
    };
    std::thread first(drawAll, 0.0f, true);
    std::thread second(drawAll, 1.0f / 64.0f, false);
    first.join();
    second.join();

    EXPECT_EQ(blank.load(), 0);
    EXPECT_EQ(different.load(), 0);
}

} // namespace
