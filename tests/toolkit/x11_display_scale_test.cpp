// The display scale a Linux editor takes when the host says nothing: the
// X server's Xft.dpi over 96.
#include "toolkit/x11/x11_display_scale.h"

#include <gtest/gtest.h>

namespace {

using VSTGUI::X11::scaleFromResources;

TEST(X11DisplayScale, XftDpiOver96AndOneForAnythingElse)
{
    EXPECT_EQ(scaleFromResources("Xft.dpi:\t192\n"), 2.0);
    EXPECT_EQ(scaleFromResources("Xcursor.size:\t24\nXft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n"), 1.5);
    EXPECT_EQ(scaleFromResources("Xft.dpi: 120"), 1.25) << "no line end after the last";
    EXPECT_EQ(scaleFromResources("Xft.dpi:\t96.5\n"), 96.5 / 96.0);
    for (const char* unusable : {"", "Xft.antialias:\t1\n", "Xft.dpi:\n", "Xft.dpi:\tlarge\n", "Xft.dpi:\t192dpi\n",
                                 "Xft.dpi:\t1000\n", "Xft.dpi:\t0\n", "Xft.dpi:\t-96\n", "Other.Xft.dpi:\t192\n"})
        EXPECT_EQ(scaleFromResources(unusable), 1.0) << unusable;
    EXPECT_EQ(scaleFromResources(nullptr), 1.0) << "a server with no resources";
}

} // namespace
