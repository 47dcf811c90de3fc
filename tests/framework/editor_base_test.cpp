// The editor's generic half with a small product of its own: lifecycle,
// the timer's whole-frame redraw, knob edits to the controller, the menu
// commands, the parameter finder and the size constraint.
#include "framework/editor_base.h"
#include "toolkit/cknob.h"
#include "toolkit/gdiplus_globals.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace Steinberg;
using vantle::vst::AssetRegistry;

struct ThreeParameters {
    static constexpr int32 count = 3;
    float values[count] = {0.25f, 1.0f, 0.5f};
    float operator[](int32 id) const { return values[id]; }
};

class RecordingController : public Vst::EditController {
public:
    tresult beginEdit(Vst::ParamID id) override { return record("begin", id); }
    tresult performEdit(Vst::ParamID id, Vst::ParamValue value) override { return record("perform", id, value); }
    tresult endEdit(Vst::ParamID id) override { return record("end", id); }
    tresult PLUGIN_API setParamNormalized(Vst::ParamID id, Vst::ParamValue value) override { return record("set", id, value); }
    Vst::ParamValue PLUGIN_API getParamNormalized(Vst::ParamID id) override { return 0.1 * id; }

    tresult record(const char* what, Vst::ParamID id, double value = -1)
    {
        std::ostringstream entry;
        entry << what << ' ' << id;
        if (value >= 0)
            entry << ' ' << int(value * 100);
        log.push_back(entry.str());
        return kResultOk;
    }
    std::vector<std::string> log;
};

// Two knobs, for parameter 1 and for a tag beyond the parameters, and a
// clock the test sets.
class TestEditor : public vantle::vst::EditorBase<ThreeParameters> {
public:
    using EditorBase::EditorBase;
    using EditorBase::lastFullRedraw;
    void createViews() override
    {
        for (const auto& [tag, x] : {std::pair{1, 0.0}, {7, 100.0}}) {
            auto* knob = new VSTGUI::CKnob(VSTGUI::CRect(x, 0, x + 50, 50), this, tag, nullptr, nullptr);
            frame->addView(knob);
            knobs.push_back(knob);
        }
    }
    void onParameterChanged(ParamID id, ParamValue value) override { initial.emplace_back(id, value); }
    std::string getLayoutJson() override { return "{}"; }
    std::string getLayoutReloadPath() override { return {}; }
    std::string getLayoutLogPath() override { return {}; }
    const AssetRegistry& getUiAssets() override { return assets; }
    const AssetRegistry& getManualAssets() override { return assets; }
    std::int64_t clock() const override { return fakeTime; }

    std::vector<VSTGUI::CKnob*> knobs;
    std::vector<std::pair<ParamID, ParamValue>> initial;
    std::int64_t fakeTime = 0;
    AssetRegistry assets;
};

class EditorBaseTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { VSTGUI::GDIPlusGlobals::enter(); }
    static void TearDownTestSuite() { VSTGUI::GDIPlusGlobals::exit(); }
    EditorBaseTest() : controller(owned(new RecordingController)), editor(owned(new TestEditor(controller))) {}
    ~EditorBaseTest() override { editor->close(); }

    void tick() { editor->notify(nullptr, VSTGUI::CVSTGUITimer::kMsgTimer); }

    IPtr<RecordingController> controller;
    IPtr<TestEditor> editor;
};

TEST_F(EditorBaseTest, OpensOnceAppliesTheCurrentValuesAndCanOpenAgainAfterClosing)
{
    ViewRect size;
    editor->getSize(&size);
    EXPECT_EQ(size.getWidth(), 500);
    EXPECT_EQ(size.getHeight(), 256);
    EXPECT_TRUE(editor->open(nullptr, VSTGUI::PlatformType::kDefaultNative));
    ASSERT_NE(editor->getFrame(), nullptr);
    EXPECT_EQ(editor->getFrame()->getViewSize(), VSTGUI::CRect(0, 0, 500, 256));
    EXPECT_EQ(editor->initial, (std::vector<std::pair<Vst::ParamID, Vst::ParamValue>>{{0, 0.0}, {1, 0.1}, {2, 0.2}}));
    EXPECT_FALSE(editor->open(nullptr, VSTGUI::PlatformType::kDefaultNative));
    EXPECT_EQ(editor->getFrame()->getNbViews(), 2) << "nothing built twice";
    editor->close();
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_TRUE(editor->open(nullptr, VSTGUI::PlatformType::kDefaultNative));
    EXPECT_EQ(editor->getFrame()->getNbViews(), 2);
}

TEST_F(EditorBaseTest, TheWholeFrameIsRedrawnAtMostOnceEveryFiveSeconds)
{
    editor->open(nullptr, VSTGUI::PlatformType::kDefaultNative);
    VSTGUI::CFrame& frame = *editor->getFrame();
    editor->lastFullRedraw = 0;
    int wholeRedraws = 0;
    for (int second = 1; second <= 12; ++second) {
        frame.renderInvalid();
        editor->fakeTime = std::int64_t(second) * 10'000'000;
        tick();
        wholeRedraws += frame.getInvalidArea() == frame.getViewSize();
    }
    EXPECT_EQ(wholeRedraws, 2) << "after 6 s and after 12 s";
}

TEST_F(EditorBaseTest, KnobEditsReachTheControllerOnlyForParameterTags)
{
    editor->open(nullptr, VSTGUI::PlatformType::kDefaultNative);
    for (VSTGUI::CKnob* knob : editor->knobs) {
        knob->beginEdit();
        knob->setValue(0.75f);
        knob->valueChanged();
        knob->endEdit();
    }
    EXPECT_EQ(controller->log, (std::vector<std::string>{"begin 1", "set 1 75", "perform 1 75", "end 1"}));
    EXPECT_EQ(editor->controlModifierClicked(editor->knobs[0], VSTGUI::kRButton), 0) << "no component handler";
    EXPECT_EQ(editor->controlModifierClicked(editor->knobs[0], VSTGUI::kLButton | VSTGUI::kShift), 0);
}

TEST_F(EditorBaseTest, MenuCommandsResetParametersToTheirDefaults)
{
    EXPECT_EQ(editor->executeMenuItem(1001), kResultOk);
    EXPECT_EQ(controller->log, (std::vector<std::string>{"begin 1", "set 1 100", "perform 1 100", "end 1"}));
    controller->log.clear();
    for (const int32 tag : {1003, 1999, 999, 3001, -1000})
        EXPECT_EQ(editor->executeMenuItem(tag), kResultFalse) << tag;
    EXPECT_TRUE(controller->log.empty());
}

TEST_F(EditorBaseTest, ParameterFinderAndSizeConstraint)
{
    Vst::ParamID found = 99;
    EXPECT_EQ(editor->findParameter(10, 10, found), kResultFalse) << "no frame yet";
    editor->open(nullptr, VSTGUI::PlatformType::kDefaultNative);
    EXPECT_EQ(editor->findParameter(10, 10, found), kResultOk);
    EXPECT_EQ(found, 1u);
    EXPECT_EQ(editor->findParameter(110, 10, found), kResultFalse) << "tag 7 is no parameter";
    EXPECT_EQ(editor->findParameter(300, 200, found), kResultFalse);

    ViewRect proposed(10, 20, 710, 120);
    EXPECT_EQ(editor->checkSizeConstraint(&proposed), kResultOk);
    EXPECT_EQ(proposed.left, 10);
    EXPECT_EQ(proposed.top, 20);
    EXPECT_EQ(proposed.getWidth(), 550);
    EXPECT_EQ(proposed.getHeight(), 256);
    EXPECT_EQ(editor->canResize(), kResultFalse);
}

} // namespace
