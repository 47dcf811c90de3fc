#include "embedded_assets.h"
#include "framework/resource_cache.h"
#include "toolkit/gdiplus_globals.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace vantle::vst;

std::vector<std::uint8_t> fileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << path;
    return {std::istreambuf_iterator<char>(file), {}};
}

TEST(EmbeddedAssets, EveryAssetDecodesToItsSourceBytes)
{
    const std::map<std::string, std::string> sources = {
        {"layout.json", TARVEL_ASSET_DIR "/layout.json"},
        {"Courier Prime Code.ttf", TARVEL_FONT_DIR "/DejaVuSansMono.ttf"},
        {"DejaVu Sans.ttf", TARVEL_FONT_DIR "/DejaVuSans.ttf"},
        {"knob_face.png", TARVEL_GENERATED_DIR "/knob_face.png"},
        {"fallback.png", TARVEL_GENERATED_DIR "/fallback.png"},
        {"en/index.html", TARVEL_ASSET_DIR "/manual/en/index.html"},
        {"ja/index.html", TARVEL_ASSET_DIR "/manual/ja/index.html"},
    };
    std::size_t checked = 0;
    for (const AssetRegistry* registry : {&tarvel::uiAssets(), &tarvel::manualAssets()})
        for (const auto& [name, entry] : registry->all()) {
            ASSERT_TRUE(sources.count(name)) << "unexpected asset " << name;
            const auto plain = assetBytes(*registry, name);
            EXPECT_EQ(plain, fileBytes(sources.at(name))) << name;
            EXPECT_NE(std::vector<std::uint8_t>(entry.data, entry.data + entry.size), plain) << "stored scrambled";
            ++checked;
        }
    EXPECT_EQ(checked, sources.size());
    EXPECT_FALSE(assetText(tarvel::uiAssets(), tarvel::layoutAssetName()).empty());
}

TEST(EmbeddedAssets, GeneratedImagesAndFontsLoadThroughTheCache)
{
    VSTGUI::GDIPlusGlobals::enter();
    {
        ResourceCache cache([](const std::string& name) { return assetBytes(tarvel::uiAssets(), name); });
        const auto face = cache.getImage("knob_face.png");
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->GetWidth(), 128u);
        const auto fallback = cache.getImage("no such image");
        ASSERT_NE(fallback, nullptr);
        EXPECT_EQ(fallback->GetWidth(), 8u);
        EXPECT_NE(cache.getFont("Courier Prime Code.ttf"), nullptr);
    }
    VSTGUI::GDIPlusGlobals::exit();
}

} // namespace
