// Partial locks of a bitmap, as the pointer's glow reads and writes them.
#include "toolkit/gdiplus_globals.h"

#include <gdiplus.h>

#include <gtest/gtest.h>

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
