// The window backends' share of a repaint: the area clamped to the window in
// whole pixels, and rows copied between images of different row lengths.
#include "toolkit/back_buffer_copy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using namespace VSTGUI;

TEST(BackBufferCopy, AnAreaIsCutToTheWindowInWholePixels)
{
    const PixelArea inside = pixelsInside(CRect(-3.5, 2.7, 40.2, 90), 32, 64);
    EXPECT_EQ(inside.left, 0);
    EXPECT_EQ(inside.top, 2);
    EXPECT_EQ(inside.right, 32);
    EXPECT_EQ(inside.bottom, 64);
    EXPECT_TRUE(pixelsInside(CRect(40, 0, 50, 10), 32, 64).empty());
    EXPECT_TRUE(pixelsInside(CRect(5, 5, 5, 9), 32, 64).empty());
}

TEST(BackBufferCopy, RowsOfTheAreaAloneAreCopiedWhateverEachImagesRowLength)
{
    constexpr int width = 6, height = 4, fromStride = width * 4, toStride = width * 4 + 8;
    std::vector<std::uint8_t> from(std::size_t(fromStride) * height), to(std::size_t(toStride) * height, 0xEE);
    for (std::size_t i = 0; i < from.size(); ++i)
        from[i] = static_cast<std::uint8_t>(i);
    const PixelArea area{1, 1, 4, 3};
    copyRows(from.data(), fromStride, to.data(), toStride, area);
    for (int y = 0; y < height; ++y)
        for (int byte = 0; byte < toStride; ++byte) {
            const int x = byte / 4;
            const bool inArea = y >= 1 && y < 3 && x >= 1 && x < 4;
            const std::uint8_t expected = inArea ? from[std::size_t(y * fromStride + byte)] : 0xEE;
            ASSERT_EQ(to[std::size_t(y * toStride + byte)], expected) << x << ", " << y;
        }
}

} // namespace
