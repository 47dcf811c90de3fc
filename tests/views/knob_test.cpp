// MyKnob: its artwork probed in offscreen renders, its steps and geometry,
// and a stepped knob driven through the frame as a user drags it.
// Tolerances allow for the different antialiasing of the cairo-drawn GDI+
// layer on Linux and of Windows' GDI+; each probe sits where the two agree
// on full coverage or none.
#include "framework/resource_cache.h"
#include "png_writer.h"
#include "toolkit/cframe.h"
#include "toolkit/gdiplus_globals.h"
#include "views/my_knob.h"
#include "views/pointer_glow.h"

#include "support/json_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <set>

namespace {

using namespace vantle::vst;
using VSTGUI::CPoint;
using VSTGUI::CRect;

using tarvel::test::json;

// A face image whose left half is red and right half blue, as PNG bytes.
std::vector<std::uint8_t> twoColourFace()
{
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            rgba.insert(rgba.end(), {std::uint8_t(x < 4 ? 255 : 0), 0, std::uint8_t(x < 4 ? 0 : 255), 255});
    const auto path = std::filesystem::temp_directory_path() / "tarvel-knob-face-test.png";
    EXPECT_TRUE(tarvel::png::writeRgba(path.string(), 8, 8, rgba));
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    file.close();
    std::filesystem::remove(path);
    return bytes;
}

class KnobTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { VSTGUI::GDIPlusGlobals::enter(); }
    static void TearDownTestSuite() { VSTGUI::GDIPlusGlobals::exit(); }

    KnobTest()
        : cache([](const std::string& name) { return name == "face.png" ? twoColourFace() : std::vector<std::uint8_t>{}; }),
          frame(CRect(0, 0, 200, 200), nullptr)
    {
        frame.setBackgroundColor(background);
    }

    // A knob at (100, 100) showing only what the test names: everything
    // else transparent.
    MyKnob* addKnob(const std::string& properties, std::int32_t steps = 0)
    {
        auto* knob = new MyKnob(CPoint(100, 100), nullptr, 1, &cache, steps);
        frame.addView(knob);
        const picojson::value quiet = json(R"({"ticks": [], "shadowColor": [0,0,0,0], "faceTint": [0,0,0,0],
            "faceImage": "none", "pointerColor": [0,0,0,0], "pointerOutline": [0,0,0,0], "glowGain": 0})");
        for (const auto& [name, value] : quiet.get<picojson::object>())
            knob->setProperty(name, value);
        const picojson::value own = json(properties);
        for (const auto& [name, value] : own.get<picojson::object>())
            knob->setProperty(name, value);
        return knob;
    }

    Gdiplus::Color pixel(double x, double y)
    {
        Gdiplus::Color color;
        frame.render()->GetPixel(int(std::floor(x)), int(std::floor(y)), &color);
        return color;
    }
    // The pixel at a distance from the centre in a direction given in
    // degrees from straight up, clockwise.
    Gdiplus::Color pixelAt(double radius, double degrees)
    {
        const double a = degrees * std::numbers::pi / 180;
        return pixel(100 + radius * std::sin(a) + 0.5, 100 - radius * std::cos(a) + 0.5);
    }
    static int brightness(const Gdiplus::Color& c) { return (c.GetR() + c.GetG() + c.GetB()) / 3; }

    static constexpr Gdiplus::ARGB background = 0xFF808080;
    ResourceCache cache;
    VSTGUI::CFrame frame;
};

TEST_F(KnobTest, TickMarksFallEvenlyFromTheMinimumToTheMaximumAngle)
{
    const std::string white = R"({"thickness": 3, "innerRadius": 30, "outerRadius": 40, "color": [255,255,255,255]})";
    addKnob(R"({"ticks": [)" + white + "," + white + "," + white + "," + white + "," + white + "]}");
    for (double angle = -120; angle <= 120; angle += 60) {
        EXPECT_GT(brightness(pixelAt(35, angle)), 240) << angle;
        EXPECT_EQ(brightness(pixelAt(35, angle + 30)), 128) << angle + 30;
    }
    EXPECT_EQ(brightness(pixelAt(25, 0)), 128) << "marks start at their inner radius";
}

TEST_F(KnobTest, OneTickMarkSitsAtTheMinimumAndAColourAloneMakesAnEmptyMark)
{
    MyKnob* knob = addKnob(R"({"ticks": [{"thickness": 3, "innerRadius": 30, "outerRadius": 40,
                                          "color": [255,255,255,255]}], "startAngle": -90, "endAngle": 90})");
    EXPECT_GT(brightness(pixelAt(35, -90)), 240);
    EXPECT_EQ(brightness(pixelAt(35, 90)), 128);
    knob->setProperty("ticks", json(R"([{"color": [255,255,0,0]}])"));
    EXPECT_EQ(knob->ticks.get(), (std::vector<MyKnob::TickMark>{{0, 0, 0, 0xFFFF0000}}));
    EXPECT_THROW(knob->setProperty("ticks", json(R"([{"thickness": "wide"}])")), std::runtime_error);
    EXPECT_EQ(knob->ticks.get().size(), 1u) << "a bad mark keeps the old ones";
}

TEST_F(KnobTest, PointerTurnsWithTheValue)
{
    MyKnob* knob = addKnob(R"({"pointerColor": [255, 89, 219, 223], "pointerInner": 10, "pointerOuter": 30})");
    const auto isPointer = [](const Gdiplus::Color& c) { return c.GetG() > 190 && c.GetR() < 120; };
    for (const auto& [value, angle] : {std::pair{0.0f, -120.0}, {0.5f, 0.0}, {1.0f, 120.0}}) {
        knob->setValue(value);
        EXPECT_TRUE(isPointer(pixelAt(20, angle))) << value;
        for (const double other : {-120.0, 0.0, 120.0}) {
            if (other != angle) {
                EXPECT_EQ(pixelAt(20, other).GetValue(), background) << value << " at " << other;
            }
        }
    }
}

TEST_F(KnobTest, GlowFadesAwayFromThePointerAndIsBuiltOnlyForANewGeometry)
{
    MyKnob* knob = addKnob(R"({"pointerColor": [255,255,255,255], "pointerInner": 10, "pointerOuter": 30,
                                "glowGain": 1.5, "glowRadius": 3, "glowPasses": 2})");
    knob->setValue(0.5f); // straight up: the bar spans x = 98..102
    const int closeBy = brightness(pixel(104.5, 80));
    const int middle = brightness(pixel(106.5, 80));
    const int farAway = brightness(pixel(112.5, 80));
    EXPECT_GT(closeBy, middle + 5);
    EXPECT_GT(middle, 133);
    EXPECT_LE(farAway, 129);
    const Gdiplus::Bitmap* layer = knob->getPointerLayer();
    ASSERT_NE(layer, nullptr);

    // Pointer properties wait for the next geometry change.
    knob->setProperty("glowGain", json("0"));
    knob->setProperty("pointerColor", json("[255, 255, 0, 0]"));
    EXPECT_EQ(brightness(pixel(104.5, 80)), closeBy);
    EXPECT_EQ(knob->getPointerLayer(), layer);
    knob->setProperty("center", json("[100, 100]"));
    EXPECT_EQ(knob->getPointerLayer(), nullptr);
    EXPECT_EQ(pixel(104.5, 80).GetValue(), background) << "no glow now";
    EXPECT_GT(pixel(100.5, 80).GetR(), 240);
    EXPECT_LT(pixel(100.5, 80).GetG(), 20);
}

TEST(PointerGlow, NoPassesIsTheSourceScaledByTheGain)
{
    VSTGUI::GDIPlusGlobals::enter();
    {
        Gdiplus::Bitmap source(20, 20, PixelFormat32bppPARGB);
        {
            Gdiplus::Graphics graphics(&source);
            Gdiplus::SolidBrush brush(Gdiplus::Color(0xFFFFFFFF));
            graphics.FillRectangle(&brush, 5.0f, 5.0f, 10.0f, 10.0f);
        }
        const auto scaled = makeGlow(source, 3, 0.5f, 0);
        const auto blurred = makeGlow(source, 2, 1.0f, 1);
        ASSERT_TRUE(scaled && blurred);
        Gdiplus::Color color;
        scaled->GetPixel(10, 10, &color);
        EXPECT_NEAR(color.GetA(), 127, 1);
        scaled->GetPixel(2, 10, &color);
        EXPECT_EQ(color.GetA(), 0);
        blurred->GetPixel(3, 10, &color); // 2 pixels outside the square: 1 of 5 columns covered
        EXPECT_NEAR(color.GetA(), 255 / 5, 2);
        blurred->GetPixel(10, 10, &color);
        EXPECT_EQ(color.GetA(), 255);
    }
    VSTGUI::GDIPlusGlobals::exit();
}

TEST_F(KnobTest, ShadowIsOffsetByFivePixelsAndFadesToItsRim)
{
    addKnob(R"({"shadowColor": [255,0,0,0], "shadowEdgeColor": [0,0,0,0], "shadowRadius": 30, "viewRadius": 45})");
    // The disc's extent, where it darkens the background at all: 30 pixels
    // either side of (105, 105). (Where inside it is darkest depends on the
    // gradient's centre point, which Wine's GDI+ puts a little off centre.)
    const auto darkened = [&](int x, int y) { return brightness(pixel(x, y)) < 127; };
    int left = 200, right = -1, top = 200, bottom = -1;
    for (int i = 50; i < 150; ++i) {
        if (darkened(i, 105)) {
            left = std::min(left, i);
            right = std::max(right, i);
        }
        if (darkened(105, i)) {
            top = std::min(top, i);
            bottom = std::max(bottom, i);
        }
    }
    EXPECT_NEAR(left, 75, 1.5);
    EXPECT_NEAR(right, 134, 1.5);
    EXPECT_NEAR(top, 75, 1.5);
    EXPECT_NEAR(bottom, 134, 1.5);
    EXPECT_LT(brightness(pixel(105.5, 105.5)), 40);
    EXPECT_GT(brightness(pixel(80.5, 105.5)), brightness(pixel(95.5, 105.5)) + 20) << "fading towards the rim";
}

TEST_F(KnobTest, FaceShowsItsImageUnderTheTintOrOnlyTheTintWithoutAnImage)
{
    MyKnob* knob = addKnob(R"({"faceImage": "face.png", "faceRadius": 20, "faceTint": [64, 255, 255, 255]})");
    const Gdiplus::Color left = pixel(90.5, 100.5);
    const Gdiplus::Color right = pixel(110.5, 100.5);
    EXPECT_GT(left.GetR(), 240);
    EXPECT_NEAR(left.GetG(), 64, 6);
    EXPECT_LT(left.GetB(), 80);
    EXPECT_GT(right.GetB(), 240);
    EXPECT_NEAR(right.GetG(), 64, 6);
    EXPECT_EQ(pixel(100.5, 124.5).GetValue(), background) << "outside the face";

    knob->setProperty("faceImage", json(R"("missing.png")"));
    const Gdiplus::Color tintOnly = pixel(90.5, 100.5);
    EXPECT_NEAR(tintOnly.GetR(), 128 + (255 - 128) * 64 / 255, 4);
    EXPECT_EQ(tintOnly.GetR(), tintOnly.GetB());
}

TEST(KnobGeometry, CentreAndRadiiPlaceTheViewAndTheMouseableArea)
{
    MyKnob knob(CPoint(0, 0), nullptr, 2, nullptr, 0);
    knob.setProperty("center", json("[100, 80]"));
    EXPECT_EQ(knob.getViewSize(), CRect(60, 40, 140, 120));
    EXPECT_EQ(knob.getMouseableArea(), CRect(60, 40, 140, 120));
    knob.setProperty("mouseRadius", json("30"));
    knob.setProperty("viewRadius", json("46"));
    EXPECT_EQ(knob.getMouseableArea(), CRect(70, 50, 130, 110));
    EXPECT_EQ(knob.getViewSize(), CRect(54, 34, 146, 126));
    EXPECT_FLOAT_EQ(knob.getStartAngle(), float(-210 * std::numbers::pi / 180));
    EXPECT_FLOAT_EQ(knob.getRangeAngle(), float(240 * std::numbers::pi / 180));
    EXPECT_FLOAT_EQ(knob.getWheelInc(), 0.1f) << "the toolkit's default when not stepped";
    knob.setValue(0.123f);
    EXPECT_FLOAT_EQ(knob.getValue(), 0.123f);
}

// Records the values a host would be sent.
class ValueRecorder : public VSTGUI::IControlListener {
public:
    void valueChanged(VSTGUI::CControl* control) override { values.insert(control->getValue()); }
    std::set<float> values;
};

TEST(KnobSteps, ASteppedKnobOnlyEverTakesItsSteps)
{
    VSTGUI::GDIPlusGlobals::enter();
    {
        ValueRecorder recorder;
        VSTGUI::CFrame frame(CRect(0, 0, 200, 200), nullptr);
        auto* knob = new MyKnob(CPoint(100, 100), &recorder, 1, nullptr, 1);
        frame.addView(knob);
        EXPECT_FLOAT_EQ(knob->getWheelInc(), 1.0f);
        knob->setValue(0.49f);
        EXPECT_EQ(knob->getValue(), 0.0f);
        knob->setValue(0.5f);
        EXPECT_EQ(knob->getValue(), 1.0f);

        frame.onWheel(CPoint(100, 100), VSTGUI::kMouseWheelAxisY, -1.0f, 0);
        EXPECT_EQ(knob->getValue(), 0.0f) << "one notch is one step";
        // A circular drag from the minimum round to the maximum, and a linear one back.
        CPoint where(70, 120);
        frame.onMouseDown(where, VSTGUI::kLButton);
        for (double angle = -120; angle <= 120; angle += 5) {
            const double a = angle * std::numbers::pi / 180;
            CPoint on(100 + 30 * std::sin(a), 100 - 30 * std::cos(a));
            frame.onMouseMoved(on, VSTGUI::kLButton);
        }
        frame.onMouseUp(where, 0);
        EXPECT_EQ(knob->getValue(), 1.0f);
        where = CPoint(100, 100);
        frame.onMouseDown(where, VSTGUI::kLButton | VSTGUI::kAlt);
        for (int y = 100; y < 300; y += 7) {
            CPoint on(100, y);
            frame.onMouseMoved(on, VSTGUI::kLButton | VSTGUI::kAlt);
        }
        frame.onMouseUp(where, 0);
        EXPECT_EQ(knob->getValue(), 0.0f);
        EXPECT_EQ(recorder.values, (std::set<float>{0.0f, 1.0f}));
    }
    VSTGUI::GDIPlusGlobals::exit();
}

} // namespace
