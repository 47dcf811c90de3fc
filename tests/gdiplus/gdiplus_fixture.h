#pragma once
// Shared by the GDI+ layer's tests: the layer started for each suite, and
// pixels read back as GDI+ hands them out.

#include "toolkit/gdiplus_globals.h"

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tarvel::test {

class GdiplusLayer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { VSTGUI::GDIPlusGlobals::enter(); }
    static void TearDownTestSuite() { VSTGUI::GDIPlusGlobals::exit(); }

    static Gdiplus::ARGB pixel(Gdiplus::Bitmap& bitmap, int x, int y)
    {
        Gdiplus::Color color;
        EXPECT_EQ(bitmap.GetPixel(x, y, &color), Gdiplus::Ok) << x << ", " << y;
        return color.GetValue();
    }
    static int alpha(Gdiplus::Bitmap& bitmap, int x, int y) { return int(pixel(bitmap, x, y) >> 24); }

    static std::vector<char> fileBytes(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
};

} // namespace tarvel::test
