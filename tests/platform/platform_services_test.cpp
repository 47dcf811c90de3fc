// The operating-system services as the framework relies on them, the same
// expectations on every platform.

#include "platform/platform_services.h"
#include "toolkit/gdiplus_globals.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace vantle::platform;
namespace fs = std::filesystem;

TEST(TemporaryFolder, EndsWithTheSeparatorAndExists)
{
    const auto folder = temporaryFolder();
    ASSERT_TRUE(folder.has_value());
    ASSERT_FALSE(folder->empty());
    EXPECT_EQ(folder->back(), pathSeparator()) << *folder;
    EXPECT_TRUE(fs::is_directory(*folder)) << *folder;
}

TEST(PrivateFolder, IsCreatedOnceAndAnExistingOneIsRefused)
{
    const std::string path = *temporaryFolder() + "tarvel-platform-test-" + std::to_string(std::random_device{}());
    fs::remove_all(path);
    EXPECT_TRUE(createPrivateFolder(path));
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_FALSE(createPrivateFolder(path)) << "an existing folder counts as a failure";
    EXPECT_FALSE(createPrivateFolder(path + pathSeparator() + "missing" + pathSeparator() + "child"))
        << "only one level is created";
    fs::remove_all(path);
}

TEST(HostExecutable, IsThisTestProgram)
{
    const auto path = hostExecutablePath();
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(fs::path(*path).filename().string(), TARVEL_TEST_PROGRAM_NAME);
    EXPECT_TRUE(fs::is_regular_file(*path)) << *path;
}

class ImageFromMemory : public ::testing::Test {
protected:
    void SetUp() override { VSTGUI::GDIPlusGlobals::enter(); }
    void TearDown() override { VSTGUI::GDIPlusGlobals::exit(); }
};

// A 3-by-2 24-bit BMP: bottom row red, top row blue.
std::vector<std::uint8_t> smallBmp()
{
    std::vector<std::uint8_t> bmp = {'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
                                     40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,
                                     0, 0, 0, 0, 24, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0,
                                     0, 0, 0, 0, 0, 0, 0, 0};
    for (int row = 0; row < 2; ++row) {
        for (int x = 0; x < 3; ++x) {
            const std::uint8_t bgr[3] = {std::uint8_t(row ? 255 : 0), 0, std::uint8_t(row ? 0 : 255)};
            bmp.insert(bmp.end(), bgr, bgr + 3);
        }
        bmp.insert(bmp.end(), 3, 0); // rows are padded to four bytes
    }
    return bmp;
}

TEST_F(ImageFromMemory, DecodesTheSizeAndPixelsAndOutlivesTheCallersBytes)
{
    std::unique_ptr<Gdiplus::Image> image;
    {
        const std::vector<std::uint8_t> bytes = smallBmp();
        image = decodeImageFromMemory(bytes.data(), bytes.size());
    }
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 3u);
    EXPECT_EQ(image->GetHeight(), 2u);
    // Drawing reads the image data only now, after the bytes are gone.
    Gdiplus::Bitmap canvas(3, 2, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&canvas);
        ASSERT_EQ(graphics.DrawImage(image.get(), 0, 0, 3, 2), Gdiplus::Ok);
    }
    Gdiplus::Color top, bottom;
    canvas.GetPixel(1, 0, &top);
    canvas.GetPixel(1, 1, &bottom);
    EXPECT_GT(top.GetBlue(), 200);
    EXPECT_LT(top.GetRed(), 50);
    EXPECT_GT(bottom.GetRed(), 200);
    EXPECT_LT(bottom.GetBlue(), 50);
}

TEST_F(ImageFromMemory, RejectsEmptyAndUndecodableBytes)
{
    EXPECT_EQ(decodeImageFromMemory(nullptr, 0), nullptr);
    const std::vector<std::uint8_t> garbage(64, 0x5A);
    EXPECT_EQ(decodeImageFromMemory(garbage.data(), 0), nullptr);
    const std::unique_ptr<Gdiplus::Image> image = decodeImageFromMemory(garbage.data(), garbage.size());
    // Either no image at all or one without size; never a usable picture.
    EXPECT_EQ(image ? image->GetWidth() : 0u, 0u);
}

} // namespace
