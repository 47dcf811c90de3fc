// GdiplusStartup and GdiplusShutdown really start and stop the layer.
#include <gdiplus.h>

#include <gtest/gtest.h>

namespace {

using namespace Gdiplus;

TEST(GdiplusRuntime, ObjectsExistOnlyWhileStartedAndStartsAreCounted)
{
    EXPECT_EQ(Bitmap(2, 2).GetLastStatus(), GdiplusNotInitialized);
    ULONG_PTR first = 0, second = 0;
    const GdiplusStartupInput input;
    ASSERT_EQ(GdiplusStartup(&first, &input, nullptr), Ok);
    ASSERT_EQ(GdiplusStartup(&second, &input, nullptr), Ok);
    GdiplusShutdown(second);
    {
        Bitmap bitmap(2, 2);
        EXPECT_EQ(bitmap.GetLastStatus(), Ok) << "one start is still in force";
        PrivateFontCollection fonts;
        EXPECT_EQ(fonts.GetLastStatus(), Ok);
    }
    GdiplusShutdown(first);
    EXPECT_EQ(Bitmap(2, 2).GetLastStatus(), GdiplusNotInitialized);
    EXPECT_EQ(PrivateFontCollection().GetLastStatus(), GdiplusNotInitialized);

    GdiplusStartupInput wrongVersion;
    wrongVersion.GdiplusVersion = 7;
    EXPECT_EQ(GdiplusStartup(&first, &wrongVersion, nullptr), UnsupportedGdiplusVersion);
    EXPECT_EQ(GdiplusStartup(nullptr, &input, nullptr), InvalidParameter);
}

} // namespace
