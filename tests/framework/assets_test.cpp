#include "framework/asset_registry.h"
#include "framework/manual.h"
#include "framework/resource_cache.h"
#include "foundation/scrambled_text.h"
#include "toolkit/gdiplus_globals.h"
#include "support/renamed_font.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace vantle;
using namespace vantle::vst;
namespace fs = std::filesystem;

// Blobs stored the way the build stores them: XOR with the key stream,
// restarted for every blob.
class ScrambledBlobs {
public:
    const std::vector<std::uint8_t>& add(AssetRegistry& registry, const std::string& name,
                                         const std::vector<std::uint8_t>& plain)
    {
        std::vector<std::uint8_t>& stored = blobs[name];
        KeyStream keys;
        for (std::uint8_t b : plain)
            stored.push_back(b ^ keys.next());
        registry.add(name, stored.data(), std::int32_t(stored.size()));
        return stored;
    }

private:
    std::map<std::string, std::vector<std::uint8_t>> blobs;
};

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// A 2-by-1 24-bit BMP: a red and a blue pixel.
std::vector<std::uint8_t> tinyBmp()
{
    std::vector<std::uint8_t> bmp = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
                                     40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0,
                                     0, 0, 0, 0, 8, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0,
                                     0, 0, 0, 0, 0, 0, 0, 0};
    const std::uint8_t pixels[] = {0, 0, 255, 255, 0, 0, 0, 0}; // BGR red, BGR blue, row padding
    bmp.insert(bmp.end(), std::begin(pixels), std::end(pixels));
    return bmp;
}

TEST(AssetRegistryTest, BlobsRoundTripIncludingZeroBytesAndReplacement)
{
    AssetRegistry registry;
    ScrambledBlobs blobs;
    const std::vector<std::uint8_t> plain = {0, 1, 0, 255, 0, 7};
    const auto& stored = blobs.add(registry, "a/b.bin", plain);
    EXPECT_NE(stored, plain) << "stored scrambled";
    EXPECT_EQ(assetBytes(registry, "a/b.bin"), plain);
    EXPECT_EQ(assetBytes(registry, "missing"), std::vector<std::uint8_t>{});
    EXPECT_EQ(assetText(registry, "missing"), "");

    blobs.add(registry, "doc", bytesOf("second"));
    EXPECT_EQ(assetText(registry, "doc"), "second");
    static const std::uint8_t other[] = {0x41 ^ 0};
    registry.add("doc", other, 0);
    EXPECT_EQ(assetText(registry, "doc"), "") << "registering again replaces the entry";
}

TEST(DecodeLiteralTest, EndsAtTheFirstZero)
{
    ScrambledLiteral words = scrambleText("xyz");
    EXPECT_EQ(decodeLiteral(words), "xyz");
    KeyStream keys;
    words[0] = std::uint32_t('q') ^ keys.next();
    words[1] = 0u ^ keys.next();
    words[2] = std::uint32_t('r') ^ keys.next();
    EXPECT_EQ(decodeLiteral(words), "q");
}

class ResourceCacheTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { VSTGUI::GDIPlusGlobals::enter(); }
    static void TearDownTestSuite() { VSTGUI::GDIPlusGlobals::exit(); }

    ResourceCacheTest()
        : cache([this](const std::string& name) {
              ++loads[name];
              return assetBytes(registry, name);
          })
    {
    }

    AssetRegistry registry;
    ScrambledBlobs blobs;
    std::map<std::string, int> loads;
    ResourceCache cache;
};

TEST_F(ResourceCacheTest, UnknownFontIsEmptyAndNotLoadedAgain)
{
    EXPECT_EQ(cache.getFont("none.ttf"), nullptr);
    EXPECT_EQ(cache.getFont("none.ttf"), nullptr);
    EXPECT_EQ(loads["none.ttf"], 1);
}

TEST_F(ResourceCacheTest, EmbeddedFontGivesItsFamily)
{
    // A family name nothing on the machine has or maps (Wine's font
    // replacements name the same face after the standard families).
    std::ifstream file("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", std::ios::binary);
    const std::vector<std::uint8_t> font =
        tarvel::test::withFamilyName({std::istreambuf_iterator<char>(file), {}}, u"Tarvel Test Mono");
    ASSERT_FALSE(font.empty());
    blobs.add(registry, "Courier Prime Code.ttf", font);
    const auto family = cache.getFont("Courier Prime Code.ttf");
    ASSERT_NE(family, nullptr);
    WCHAR name[LF_FACESIZE] = {};
    family->GetFamilyName(name);
    const std::u16string_view expected = u"Tarvel Test Mono";
    EXPECT_EQ(std::basic_string<WCHAR>(name), std::basic_string<WCHAR>(expected.begin(), expected.end()));
    EXPECT_EQ(cache.getFont("Courier Prime Code.ttf"), family);
}

TEST_F(ResourceCacheTest, MissingImagesShareTheFallbackBitmap)
{
    blobs.add(registry, ResourceCache::fallbackImageName(), tinyBmp());
    const auto first = cache.getImage("a.png");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(cache.getImage("b.png"), first);
    EXPECT_EQ(loads[ResourceCache::fallbackImageName()], 1);
    EXPECT_EQ(first->GetPixelFormat(), PixelFormat32bppPARGB);
    Gdiplus::Color left, right;
    first->GetPixel(0, 0, &left);
    first->GetPixel(1, 0, &right);
    EXPECT_EQ(left.GetValue(), 0xFFFF0000u);
    EXPECT_EQ(right.GetValue(), 0xFF0000FFu);
}

TEST_F(ResourceCacheTest, NoFallbackGivesEmptyAndUndecodableAssetsThrowEveryTime)
{
    EXPECT_EQ(cache.getImage("a.png"), nullptr);
    blobs.add(registry, "broken.png", bytesOf("definitely not an image"));
    EXPECT_THROW(cache.getImage("broken.png"), std::runtime_error);
    EXPECT_THROW(cache.getImage("broken.png"), std::runtime_error);
    EXPECT_EQ(loads["broken.png"], 2) << "a failure is not cached";
    EXPECT_EQ(ResourceCache::decodeImage({}), nullptr);
}

TEST(ManualTest, WritesEveryFileIntoAFreshPrivateFolderAndPicksTheEntryByLanguage)
{
    AssetRegistry manual;
    ScrambledBlobs blobs;
    blobs.add(manual, "en/index.html", bytesOf("<p>en</p>"));
    blobs.add(manual, "ja/index.html", bytesOf("<p>ja</p>"));
    blobs.add(manual, "a/b/c.txt", bytesOf("deep"));
    const fs::path base = fs::path(::testing::TempDir()) / "manual-test";
    fs::remove_all(base);
    fs::create_directories(base);
    const std::string temporary = base.string() + "/";

    const std::string japanese = extractManual(manual, temporary, 1041);
    const std::string english = extractManual(manual, temporary, 1033);
    ASSERT_FALSE(japanese.empty());
    EXPECT_EQ(fs::path(japanese).filename(), "index.html");
    EXPECT_EQ(fs::path(japanese).parent_path().filename(), "ja");
    EXPECT_EQ(fs::path(english).parent_path().filename(), "en");

    const fs::path folder = fs::path(japanese).parent_path().parent_path();
    EXPECT_NE(folder, fs::path(english).parent_path().parent_path()) << "every call makes a new folder";
    EXPECT_EQ(folder.filename().string().size(), 32u);
    EXPECT_TRUE(fs::is_directory(folder));
    std::string text;
    {
        // Closed before the folder is removed: Windows refuses to delete an
        // open file.
        std::ifstream deep(folder / "a" / "b" / "c.txt");
        std::getline(deep, text);
    }
    EXPECT_EQ(text, "deep");
    fs::remove_all(base);
}

TEST(ManualTest, RandomNameCharactersComeFromTheAlphabet)
{
    std::string drawn;
    for (int i = 0; i < 500; ++i)
        drawn.push_back(randomNameChar());
    EXPECT_EQ(drawn.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789"), std::string::npos);
    EXPECT_NE(drawn.find_first_not_of(drawn[0]), std::string::npos) << "not a constant";
}

} // namespace
