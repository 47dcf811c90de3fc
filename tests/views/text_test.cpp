// Offscreen pixel tests of anchored text drawn with an embedded font.
#include "framework/asset_registry.h"
#include "framework/resource_cache.h"
#include "foundation/scrambled_text.h"
#include "toolkit/cframe.h"
#include "toolkit/gdiplus_globals.h"
#include "views/vn_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace vantle;
using namespace vantle::vst;
using VSTGUI::CFrame;
using VSTGUI::CRect;

picojson::value json(const std::string& text)
{
    picojson::value value;
    picojson::parse(value, text);
    return value;
}

struct InkBox {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};

class TextTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { VSTGUI::GDIPlusGlobals::enter(); }
    static void TearDownTestSuite() { VSTGUI::GDIPlusGlobals::exit(); }

    TextTest()
        : cache([this](const std::string& name) { return assetBytes(registry, name); }),
          frame(CRect(0, 0, 200, 60), nullptr)
    {
        std::ifstream file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", std::ios::binary);
        const std::vector<std::uint8_t> plain{std::istreambuf_iterator<char>(file), {}};
        KeyStream keys;
        for (std::uint8_t b : plain)
            stored.push_back(b ^ keys.next());
        registry.add("DejaVu Sans.ttf", stored.data(), std::int32_t(stored.size()));
        frame.setBackgroundColor(0xFF000000);
    }

    VNText* addText(const std::string& properties)
    {
        auto* text = new VNText({0, 0}, &cache);
        frame.addView(text);
        const picojson::value values = json(properties);
        for (const auto& [name, value] : values.get<picojson::object>())
            text->setProperty(name, value);
        return text;
    }

    InkBox ink(int fromX = 0, int toX = 200)
    {
        Gdiplus::Bitmap* bitmap = frame.render();
        InkBox box;
        for (int y = 0; y < 60; ++y)
            for (int x = fromX; x < toX; ++x) {
                Gdiplus::Color c;
                bitmap->GetPixel(x, y, &c);
                if (c.GetGreen() > 96) {
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, y);
                    box.bottom = std::max(box.bottom, y);
                    ++box.count;
                }
            }
        return box;
    }

    std::vector<std::uint8_t> stored;
    AssetRegistry registry;
    ResourceCache cache;
    CFrame frame;
};

TEST_F(TextTest, FarAlignedTextEndsAtTheAnchorAndNearTopStartsBelowIt)
{
    VNText* text = addText(R"({"text":"Ratio","fontSize":14,"color":[255,255,255,255],
                               "align":"far","verticalAlign":"near","position":[150,20]})");
    const InkBox box = ink();
    ASSERT_GT(box.count, 30) << "the embedded font draws glyphs";
    // GDI+ implementations differ by up to a pixel in where they put the
    // glyphs inside the measured box (Wine's ends one pixel further right).
    EXPECT_LE(box.right, 151);
    EXPECT_GE(box.right, 140);
    EXPECT_GE(box.top, 20);
    EXPECT_LE(box.top, 28);
    EXPECT_NEAR(text->getViewSize().right, 150, 0.01);
    EXPECT_NEAR(text->getViewSize().top, 20, 0.01);
    EXPECT_GT(text->getViewSize().getWidth(), 20);
}

TEST_F(TextTest, DifferentStringsDrawDifferentInk)
{
    VNText* text = addText(R"({"text":"Speed","fontSize":14,"color":[255,255,255,255],"position":[100,30]})");
    const InkBox first = ink();
    text->setProperty("text", json("\"Target\""));
    const InkBox second = ink();
    EXPECT_GT(first.count, 30);
    EXPECT_NE(first.count, second.count);
    EXPECT_NEAR((first.left + first.right) / 2.0, 100, 3) << "centre alignment centres on the anchor";
}

TEST_F(TextTest, PitchPlacesCentredCharactersOnFixedSlots)
{
    addText(R"({"text":"abc","pitch":30,"fontSize":14,"color":[255,255,255,255],"position":[100,30]})");
    const InkBox a = ink(55, 85);
    const InkBox b = ink(85, 115);
    const InkBox c = ink(115, 145);
    ASSERT_GT(a.count, 5);
    ASSERT_GT(b.count, 5);
    ASSERT_GT(c.count, 5);
    EXPECT_NEAR((a.left + a.right) / 2.0, 70, 3);
    EXPECT_NEAR((b.left + b.right) / 2.0, 100, 3);
    EXPECT_NEAR((c.left + c.right) / 2.0, 130, 3);
}

TEST_F(TextTest, UnknownFontFallsBackAndBadUtf8Throws)
{
    VNText* text = addText(R"({"text":"Bypass","font":"No Such Family","fontSize":14,"color":[255,255,255,255],
                               "position":[100,30]})");
    EXPECT_GT(ink().count, 30);
    EXPECT_GT(text->getViewSize().getWidth(), 20);
    picojson::value invalidUtf8(std::string("\xff\xfe"));
    EXPECT_THROW(text->setProperty("text", invalidUtf8), std::range_error);
}

} // namespace
