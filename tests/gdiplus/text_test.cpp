// Text: fonts from memory through FreeType alone, measuring, and ink where
// the string format's alignments put it.
#include "embedded_assets.h"
#include "gdiplus/gdiplus_fixture.h"

#include <fontconfig/fontconfig.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {

using namespace Gdiplus;
using tarvel::test::GdiplusLayer;

struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};

Ink inkOf(Bitmap& bitmap)
{
    Ink ink;
    for (int y = 0; y < int(bitmap.GetHeight()); ++y)
        for (int x = 0; x < int(bitmap.GetWidth()); ++x) {
            Color c;
            bitmap.GetPixel(x, y, &c);
            if (c.GetA() > 96) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
                ++ink.count;
            }
        }
    return ink;
}

class MemoryFont : public GdiplusLayer {
protected:
    void SetUp() override
    {
        // Nothing may be written for the font: $TMPDIR points at an empty
        // folder while it is added.
        namespace fs = std::filesystem;
        folder = fs::path(::testing::TempDir()) / ("gdiplus-fonts-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        const char* old = std::getenv("TMPDIR");
        const std::string previous = old ? old : "";
        ::setenv("TMPDIR", folder.c_str(), 1);
        {
            // The editor's embedded monospaced font, as the graph's labels
            // load it.
            std::vector<std::uint8_t> bytes = vantle::vst::assetBytes(tarvel::uiAssets(), "Courier Prime Code.ttf");
            ASSERT_FALSE(bytes.empty());
            ASSERT_EQ(collection.AddMemoryFont(bytes.data(), INT(bytes.size())), Ok);
            bytes.assign(bytes.size(), 0); // the collection keeps a copy of its own
        }
        old ? ::setenv("TMPDIR", previous.c_str(), 1) : ::unsetenv("TMPDIR");
        INT found = 0;
        ASSERT_EQ(collection.GetFamilies(1, &family, &found), Ok);
        ASSERT_EQ(found, 1);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    Ink draw(const std::u16string& text, StringAlignment align, StringAlignment lineAlign, const Font& font)
    {
        Bitmap bitmap(240, 100, PixelFormat32bppPARGB);
        Graphics graphics(&bitmap);
        StringFormat format;
        format.SetAlignment(align);
        format.SetLineAlignment(lineAlign);
        SolidBrush white(Color(0xFFFFFFFF));
        EXPECT_EQ(graphics.DrawString(text.c_str(), -1, &font, PointF(120, 50), &format, &white), Ok);
        return inkOf(bitmap);
    }

    std::filesystem::path folder;
    PrivateFontCollection collection;
    FontFamily family;
};

TEST_F(MemoryFont, ComesFromMemoryAloneAndMeasuresAsAMonospacedFont)
{
    EXPECT_TRUE(std::filesystem::is_empty(folder)) << "no font file written";
    FcFontSet* registered = FcConfigGetFonts(nullptr, FcSetApplication);
    EXPECT_TRUE(!registered || registered->nfont == 0) << "nothing registered with fontconfig";
    WCHAR name[LF_FACESIZE] = {};
    EXPECT_EQ(family.GetFamilyName(name), Ok);
    EXPECT_EQ(std::u16string(name), u"DejaVu Sans Mono");

    const Font font(&family, 12.0f, FontStyleRegular, UnitPoint);
    Bitmap probe(1, 1, PixelFormat32bppPARGB);
    Graphics graphics(&probe);
    RectF one, five;
    graphics.MeasureString(u"a", 1, &font, RectF(), nullptr, &one);
    graphics.MeasureString(u"-60.5", 5, &font, RectF(), nullptr, &five);
    EXPECT_NEAR(one.Width, 16 * 0.602, 0.6) << "12 points are 16 pixels; the advance is 0.602 em";
    EXPECT_FLOAT_EQ(five.Width, 5 * one.Width);
    EXPECT_EQ(five.Height, one.Height);
    EXPECT_NEAR(one.Height, 16 * 1.164, 1.5) << "ascent plus descent";

    const Font pixels(&family, 16.0f, FontStyleRegular, UnitPixel);
    RectF same;
    graphics.MeasureString(u"-60.5", 5, &pixels, RectF(), nullptr, &same);
    EXPECT_EQ(same.Width, five.Width);
    EXPECT_EQ(same.Height, five.Height);
}

TEST_F(MemoryFont, InkLiesWhereTheAlignmentsPutItAndDiffersWithTheText)
{
    const Font font(&family, 14.0f, FontStyleRegular, UnitPixel);
    Bitmap probe(1, 1, PixelFormat32bppPARGB);
    Graphics graphics(&probe);
    RectF box;
    graphics.MeasureString(u"HHHH", 4, &font, RectF(), nullptr, &box);

    const Ink near = draw(u"HHHH", StringAlignmentNear, StringAlignmentNear, font);
    const Ink centre = draw(u"HHHH", StringAlignmentCenter, StringAlignmentCenter, font);
    const Ink far = draw(u"HHHH", StringAlignmentFar, StringAlignmentFar, font);
    ASSERT_GT(near.count, 40) << "glyphs, not empty boxes";
    EXPECT_GE(near.left, 120);
    EXPECT_LE(near.left, 122);
    EXPECT_GT(near.top, 50);
    EXPECT_LE(far.right, 119);
    EXPECT_GE(far.right, 117);
    EXPECT_LT(far.bottom, 50);
    EXPECT_NEAR((centre.left + centre.right) / 2.0, 120, 1.0);
    EXPECT_NEAR(near.left - centre.left, box.Width / 2, 1.0);
    EXPECT_NEAR(near.top - far.top, box.Height, 1.0);

    const Ink other = draw(u"xyz1", StringAlignmentNear, StringAlignmentNear, font);
    EXPECT_GT(other.count, 40);
    EXPECT_NE(other.count, near.count);
    EXPECT_GT(other.bottom, near.bottom) << "y descends below the baseline";
}

TEST_F(MemoryFont, TurnedTextIsDrawnFromItsOutlines)
{
    const Font font(&family, 20.0f, FontStyleRegular, UnitPixel);
    Bitmap bitmap(100, 100, PixelFormat32bppPARGB);
    Graphics graphics(&bitmap);
    graphics.SetSmoothingMode(SmoothingModeAntiAlias);
    graphics.TranslateTransform(50, 10);
    graphics.RotateTransform(90);
    SolidBrush white(Color(0xFFFFFFFF));
    ASSERT_EQ(graphics.DrawString(u"HHHH", 4, &font, PointF(0, 0), nullptr, &white), Ok);
    const Ink ink = inkOf(bitmap);
    ASSERT_GT(ink.count, 60);
    EXPECT_GT(ink.bottom - ink.top, 3 * (ink.right - ink.left)) << "running downwards";
    EXPECT_LE(ink.right, 50) << "the glyphs' tops face to the right, so they stand left of x = 50";
}

TEST_F(GdiplusLayer, InstalledFamiliesAreFoundByTheirOwnNameOnly)
{
    const FontFamily installed(u"dejavu sans");
    ASSERT_TRUE(installed.IsAvailable());
    WCHAR name[LF_FACESIZE] = {};
    installed.GetFamilyName(name);
    EXPECT_EQ(std::u16string(name), u"DejaVu Sans");

    const FontFamily missing(u"No Such Family");
    EXPECT_FALSE(missing.IsAvailable());
    EXPECT_EQ(missing.GetLastStatus(), FontFamilyNotFound);
    const Font fallback(u"No Such Family", 9.0f);
    EXPECT_TRUE(fallback.IsAvailable()) << "a font by an unknown name is the generic sans-serif";
    EXPECT_TRUE(FontFamily::GenericSansSerif()->IsAvailable());

    PrivateFontCollection collection;
    const char garbage[16] = "not a font";
    EXPECT_NE(collection.AddMemoryFont(garbage, sizeof garbage), Ok);
    EXPECT_NE(collection.AddMemoryFont(nullptr, 0), Ok);
    EXPECT_EQ(collection.GetFamilyCount(), 0);
}

} // namespace
