// The editor's view tree with the embedded layout: the views the editor
// and tarvel-snapshot build, how the layout places them, and how they show
// parameters and the measured loudness.
#include "editor/editor_view_tree.h"
#include "embedded_assets.h"
#include "framework/resource_cache.h"
#include "toolkit/cframe.h"
#include "toolkit/gdiplus_globals.h"
#include "views/my_knob.h"
#include "views/my_loudness_mapping.h"
#include "views/vn_line.h"
#include "views/vn_rect.h"
#include "views/vn_text.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <typeinfo>

namespace {

using namespace vantle::vst;
using VSTGUI::CRect;

class ViewTreeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { VSTGUI::GDIPlusGlobals::enter(); }
    static void TearDownTestSuite() { VSTGUI::GDIPlusGlobals::exit(); }

    ViewTreeTest()
        : cache([](const std::string& name) { return assetBytes(tarvel::uiAssets(), name); }),
          frame(CRect(0, 0, 500, 256), nullptr), views(tarvel::createEditorViews(frame, cache, nullptr))
    {
    }

    std::string applyLayout() { return applyLayoutJson(assetText(tarvel::uiAssets(), tarvel::layoutAssetName()), views); }
    MyKnob* knob(const std::string& name) { return dynamic_cast<MyKnob*>(views.at(name)); }
    MyLoudnessMapping* mapping() { return dynamic_cast<MyLoudnessMapping*>(views.at("mapping")); }

    ResourceCache cache;
    VSTGUI::CFrame frame;
    ViewsByName views;
};

TEST_F(ViewTreeTest, BuildsTheViewsInDrawingOrder)
{
    const std::vector<std::pair<std::string, const std::type_info*>> expected{
        {"background", &typeid(VNRect)},       {"labelA0", &typeid(VNText)},   {"labelA1", &typeid(VNText)},
        {"labelA2", &typeid(VNText)},          {"labelB0", &typeid(VNText)},   {"labelB1", &typeid(VNText)},
        {"labelB2", &typeid(VNText)},          {"labelC0", &typeid(VNText)},   {"labelC1", &typeid(VNText)},
        {"labelC2", &typeid(VNText)},          {"labelD0", &typeid(VNText)},   {"labelD1", &typeid(VNText)},
        {"divider", &typeid(VNLine)},          {"caption1", &typeid(VNText)},  {"caption2", &typeid(VNText)},
        {"caption3", &typeid(VNText)},         {"caption4", &typeid(VNText)},  {"caption5", &typeid(VNText)},
        {"targetKnob", &typeid(MyKnob)},       {"ratioKnob", &typeid(MyKnob)}, {"stereoRatioKnob", &typeid(MyKnob)},
        {"speedKnob", &typeid(MyKnob)},        {"mapping", &typeid(MyLoudnessMapping)},
        {"readoutPanel", &typeid(VNRect)},     {"readout0", &typeid(VNText)},  {"readout1", &typeid(VNText)},
        {"readout2", &typeid(VNText)},         {"readout3", &typeid(VNText)}};
    ASSERT_EQ(frame.getNbViews(), int(expected.size()));
    ASSERT_EQ(views.size(), expected.size());
    for (int i = 0; i < frame.getNbViews(); ++i) {
        const auto& [name, type] = expected[std::size_t(i)];
        VSTGUI::CView* view = frame.getView(i);
        EXPECT_EQ(views.at(name), view) << name;
        EXPECT_EQ(typeid(*view), *type) << name;
    }
    // Tags are parameter ids; Speed is a two-position switch; every knob
    // starts at, and Control-click returns it to, its parameter's default.
    const std::vector<std::tuple<std::string, int, int, float>> knobs{
        {"targetKnob", 4, 0, 0.5f}, {"ratioKnob", 2, 0, 0.5f}, {"stereoRatioKnob", 3, 0, 0.0f}, {"speedKnob", 1, 1, 1.0f}};
    for (const auto& [name, tag, steps, value] : knobs) {
        EXPECT_EQ(knob(name)->getTag(), tag) << name;
        EXPECT_EQ(knob(name)->getSteps(), steps) << name;
        EXPECT_EQ(knob(name)->getDefaultValue(), value) << name;
        EXPECT_EQ(knob(name)->getValue(), value) << name;
    }
}

TEST_F(ViewTreeTest, TheLayoutPlacesEveryViewOnTheCanvasAndEveryKnobTakesItsClicks)
{
    std::istringstream log(applyLayout());
    std::string line;
    std::set<std::string> styled;
    while (std::getline(log, line)) {
        if (line == "layout applied")
            break;
        EXPECT_NE(line.find(" <- "), std::string::npos) << "an error applying the layout: " << line;
        styled.insert(line.substr(0, line.find('.')));
    }
    EXPECT_EQ(styled.size(), views.size()) << "every view is styled";
    // The readout at its fullest: stereo, with the side compressed.
    knob("stereoRatioKnob")->setValue(1.0f);
    tarvel::Readout readout{-31.4, -22.5, 8.9, -12.5, true};
    tarvel::showReadout(views, readout, true);

    const CRect canvas(0, 0, 500, 256);
    EXPECT_EQ(dynamic_cast<VNRect*>(views.at("background"))->rect.get(), canvas);
    for (const auto& [name, view] : views) {
        // The rectangle's and the line's sizes include margins beyond what they paint.
        if (dynamic_cast<VNRect*>(view) || dynamic_cast<VNLine*>(view))
            continue;
        const CRect& size = view->getViewSize();
        EXPECT_TRUE(size.left >= canvas.left && size.top >= canvas.top && size.right <= canvas.right &&
                    size.bottom <= canvas.bottom)
            << name << " lies off the canvas";
        if (auto* text = dynamic_cast<VNText*>(view)) {
            EXPECT_FALSE(text->text.get().empty()) << name;
            EXPECT_GT(size.getWidth(), 4) << name << " has no measurable text";
        }
    }
    for (const std::string name : {"targetKnob", "ratioKnob", "stereoRatioKnob", "speedKnob"}) {
        const VSTGUI::CPoint centre = knob(name)->center.get();
        EXPECT_EQ(frame.getViewAt(centre), knob(name)) << name;
        EXPECT_LE(knob(name)->shadowRadius.get() + 5, knob(name)->viewRadius.get()) << name << "'s shadow is cut";
    }
}

TEST_F(ViewTreeTest, ParametersMoveTheKnobsAndTheGraphFollowsTargetRatioAndTheReading)
{
    EXPECT_FALSE(tarvel::showParameterValue(views, 1, 0.3));
    EXPECT_EQ(knob("speedKnob")->getValue(), 0.0f);
    EXPECT_FALSE(tarvel::showParameterValue(views, 0, 1.0)) << "no view for Bypass";
    EXPECT_FALSE(tarvel::showParameterValue(views, 7, 1.0));
    EXPECT_TRUE(tarvel::showParameterValue(views, 2, 0.0));
    EXPECT_TRUE(tarvel::showParameterValue(views, 4, 0.0));
    EXPECT_DOUBLE_EQ(mapping()->targetLevel, -40);

    tarvel::showMappingCurve(views, -75, true);
    EXPECT_EQ(mapping()->currentLevel, -60);
    // Target -40 puts the knee at -80, outside the curve's span; ratio 1:1.
    EXPECT_EQ(mapping()->curvePoints, (std::vector<VSTGUI::CPoint>{{-68, -68}, {8, 8}}));
    tarvel::showMappingCurve(views, 3, true);
    EXPECT_EQ(mapping()->currentLevel, 0);
    tarvel::showMappingCurve(views, -20, false);
    EXPECT_EQ(mapping()->currentLevel, -60) << "no reading while the processor is inactive";

    tarvel::showParameterValue(views, 4, 1.0);
    tarvel::showMappingCurve(views, -20, true);
    EXPECT_EQ(mapping()->curvePoints.size(), 3u);
    EXPECT_EQ(mapping()->curvePoints[1], VSTGUI::CPoint(-40, -40)) << "target 0: the knee at -40";
}

TEST_F(ViewTreeTest, TheReadoutShowsTheProcessorsNumbersOrDashesAndTheSideOnlyWhenItIsCompressed)
{
    applyLayout();
    const auto line = [&](int i) { return dynamic_cast<VNText*>(views.at("readout" + std::to_string(i)))->text.get(); };
    const auto panelHeight = [&] { return dynamic_cast<VNRect*>(views.at("readoutPanel"))->rect.get().getHeight(); };
    const tarvel::Readout readout{-30.0, -25.0, 5.0, 2.04, true};

    tarvel::showReadout(views, readout, false);
    EXPECT_EQ(line(0), "IN       - LUFS") << "nothing to read while the processor is inactive";
    EXPECT_EQ(line(2), "GAIN     - dB");
    tarvel::showReadout(views, readout, true);
    EXPECT_EQ(line(0), "IN   -30.0 LUFS");
    EXPECT_EQ(line(1), "OUT  -25.0 LUFS");
    EXPECT_EQ(line(2), "GAIN  +5.0 dB");
    EXPECT_EQ(line(3), "") << "Stereo Ratio 1:1: the side is not compressed";
    const double threeLines = panelHeight();

    knob("stereoRatioKnob")->setValue(0.5f);
    tarvel::showReadout(views, readout, true);
    EXPECT_EQ(line(3), "SIDE  +2.0 dB");
    EXPECT_GT(panelHeight(), threeLines) << "the panel grows to hold the side's line";
    tarvel::Readout mono = readout;
    mono.stereo = false;
    tarvel::showReadout(views, mono, true);
    EXPECT_EQ(line(3), "") << "a mono instance has no side";
    EXPECT_EQ(panelHeight(), threeLines);
}

} // namespace

namespace {

std::vector<Gdiplus::ARGB> pixelsOf(Gdiplus::Bitmap& bitmap)
{
    std::vector<Gdiplus::ARGB> pixels;
    for (int y = 0; y < int(bitmap.GetHeight()); ++y)
        for (int x = 0; x < int(bitmap.GetWidth()); ++x) {
            Gdiplus::Color color;
            bitmap.GetPixel(x, y, &color);
            pixels.push_back(color.GetValue());
        }
    return pixels;
}

TEST_F(ViewTreeTest, RepaintingOnlyWhatChangedGivesTheSamePictureAsAWholeRepaint)
{
    applyLayout();
    tarvel::showMappingCurve(views, -30, true);
    frame.renderInvalid();
    tarvel::showParameterValue(views, 4, 0.1);
    tarvel::showParameterValue(views, 2, 0.9);
    tarvel::showMappingCurve(views, -12, true);
    knob("targetKnob")->invalid();
    knob("ratioKnob")->invalid();
    EXPECT_EQ(frame.renderInvalid().size(), 3u) << "two knobs and the graph";
    const std::vector<Gdiplus::ARGB> partial = pixelsOf(*frame.getBackBuffer());
    const std::vector<Gdiplus::ARGB> whole = pixelsOf(*frame.render());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < whole.size(); ++i)
        differing += partial[i] != whole[i];
    EXPECT_EQ(differing, 0u);
}

} // namespace

namespace {

// The editor drawn at a display scale against the same editor at 1: each
// pixel (x, y) of the small one has the colour of (2x, 2y) of the large one
// (but where an edge passes between), and text is drawn at the larger size,
// not enlarged: its edges are as sharp. GDI+ centres pixel x on x (the
// views draw without a pixel offset), so its counterpart at twice the size
// is centred on 2x: a one-pixel line at x covers 2x - 1 and 2x there.
class ScaledEditor {
public:
    explicit ScaledEditor(double scale)
        : cache([](const std::string& name) { return assetBytes(tarvel::uiAssets(), name); }),
          frame(CRect(0, 0, 500, 256), nullptr)
    {
        frame.setBackgroundColor(0xFF7F7F7F);
        frame.setScaleFactor(scale);
        const ViewsByName views = tarvel::createEditorViews(frame, cache, nullptr);
        applyLayoutJson(assetText(tarvel::uiAssets(), tarvel::layoutAssetName()), views);
        tarvel::showMappingCurve(views, -16, true);
        pixels = pixelsOf(*frame.render());
        width = int(frame.getBackBuffer()->GetWidth());
    }
    Gdiplus::ARGB at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }

    // Along the rows of an area, the average length of runs of pixels that
    // are neither the background nor the ink, in device pixels.
    double edgeWidth(int left, int top, int right, int bottom) const
    {
        int runs = 0, blurred = 0;
        for (int y = top; y < bottom; ++y) {
            bool inRun = false;
            for (int x = left; x < right; ++x) {
                const int grey = int((at(x, y) >> 8) & 0xFF);
                const bool between = grey > 70 && grey < 190;
                blurred += between;
                runs += between && !inRun;
                inRun = between;
            }
        }
        return runs ? double(blurred) / runs : 0;
    }

    ResourceCache cache;
    VSTGUI::CFrame frame;
    std::vector<Gdiplus::ARGB> pixels;
    int width = 0;
};

int channelDifference(Gdiplus::ARGB a, Gdiplus::ARGB b)
{
    int largest = 0;
    for (int shift : {0, 8, 16})
        largest = std::max(largest, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return largest;
}

TEST(EditorScale, TwiceAsLargeSameColoursSharpText)
{
    VSTGUI::GDIPlusGlobals::enter();
    {
        const ScaledEditor small(1), large(2);
        ASSERT_EQ(large.frame.getDeviceSize(), CRect(0, 0, 1000, 512));
        std::size_t off = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 500; ++x)
                off += channelDifference(small.at(x, y), large.at(2 * x, 2 * y)) > 40;
        // Edges: antialiasing differs at twice the resolution.
        EXPECT_LT(double(off) / (500.0 * 256.0), 0.03);
        // The caption "STEREO RATIO": as sharp at 2 as at 1 (an enlarged
        // picture would have edges twice as wide).
        const double sharpAtOne = small.edgeWidth(25, 234, 110, 246);
        const double sharpAtTwo = large.edgeWidth(50, 468, 220, 492);
        EXPECT_GT(sharpAtOne, 0);
        EXPECT_LT(sharpAtTwo, sharpAtOne * 1.5);
    }
    VSTGUI::GDIPlusGlobals::exit();
}

} // namespace
