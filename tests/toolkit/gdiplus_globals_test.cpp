#include "toolkit/gdiplus_globals.h"

#include <gdiplus.h>

#include <gtest/gtest.h>

namespace {

using VSTGUI::GDIPlusGlobals;

TEST(GDIPlusGlobals, FirstEnterStartsAndLastExitStops)
{
    ASSERT_EQ(GDIPlusGlobals::referenceCount(), 0);
    EXPECT_FALSE(GDIPlusGlobals::isRunning());

    GDIPlusGlobals::enter();
    EXPECT_TRUE(GDIPlusGlobals::isRunning());
    GDIPlusGlobals::enter();
    EXPECT_EQ(GDIPlusGlobals::referenceCount(), 2);

    // GDI+ works while a reference is held.
    {
        Gdiplus::Bitmap bitmap(4, 4, PixelFormat32bppPARGB);
        EXPECT_EQ(bitmap.GetLastStatus(), Gdiplus::Ok);
        EXPECT_EQ(bitmap.GetWidth(), 4u);
    }

    GDIPlusGlobals::exit();
    EXPECT_TRUE(GDIPlusGlobals::isRunning()) << "an inner exit only counts";
    EXPECT_EQ(GDIPlusGlobals::referenceCount(), 1);
    GDIPlusGlobals::exit();
    EXPECT_FALSE(GDIPlusGlobals::isRunning());
    EXPECT_EQ(GDIPlusGlobals::referenceCount(), 0);
}

TEST(GDIPlusGlobals, UnmatchedExitIsIgnoredAndRestartWorks)
{
    GDIPlusGlobals::exit();
    EXPECT_EQ(GDIPlusGlobals::referenceCount(), 0);

    GDIPlusGlobals::enter();
    EXPECT_TRUE(GDIPlusGlobals::isRunning());
    {
        Gdiplus::Bitmap bitmap(2, 2, PixelFormat32bppPARGB);
        EXPECT_EQ(bitmap.GetLastStatus(), Gdiplus::Ok);
    }
    GDIPlusGlobals::exit();
    EXPECT_FALSE(GDIPlusGlobals::isRunning());
}

} // namespace
