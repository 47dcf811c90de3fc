// The frame's input path and the knob's behaviour, driven as a window
// backend drives them: frame-level mouse, wheel and key calls only.
#include "toolkit/cframe.h"
#include "toolkit/cknob.h"
#include "toolkit/cvstguitimer.h"
#include "toolkit/gdiplus_globals.h"
#include "toolkit/vstguieditorinterface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace VSTGUI;

// Records what a host would see: "begin", "value 0.50", "end", "modifier".
class RecordingListener : public IControlListener {
public:
    void valueChanged(CControl* control) override { events.push_back("value " + text(control->getValue())); }
    void controlBeginEdit(CControl*) override { events.push_back("begin"); }
    void controlEndEdit(CControl*) override { events.push_back("end"); }
    std::int32_t controlModifierClicked(CControl*, CButtonState buttons) override
    {
        events.push_back("modifier");
        return takeRightClicks && buttons.isRightButton() ? 1 : 0;
    }
    static std::string text(float value) { return std::to_string(int(static_cast<double>(value * 1000) + 0.5)); }

    std::vector<std::string> events;
    bool takeRightClicks = true;
};

class KnobModeEditor : public VSTGUIEditorInterface {
public:
    std::int32_t getKnobMode() const override { return mode; }
    std::int32_t mode = -1;
};

class KnobInputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { GDIPlusGlobals::enter(); }
    static void TearDownTestSuite() { GDIPlusGlobals::exit(); }

    KnobInputTest() : frame(CRect(0, 0, 300, 200), &editor)
    {
        // Two knobs side by side, 80 pixels square, centred on (100, 100)
        // and (200, 100).
        knob = new CKnob(CRect(60, 60, 140, 140), &listener, 2, nullptr, nullptr);
        other = new CKnob(CRect(160, 60, 240, 140), &listener, 4, nullptr, nullptr);
        frame.addView(knob);
        frame.addView(other);
        knob->setValue(0.5f);
        other->setValue(0.5f);
    }

    void press(double x, double y, std::int32_t buttons = kLButton)
    {
        CPoint where(x, y);
        frame.onMouseDown(where, buttons);
    }
    void move(double x, double y, std::int32_t buttons = kLButton)
    {
        CPoint where(x, y);
        frame.onMouseMoved(where, buttons);
    }
    void release(double x, double y)
    {
        CPoint where(x, y);
        frame.onMouseUp(where, 0);
    }
    std::int32_t key(unsigned char virt, unsigned char modifier = 0)
    {
        VstKeyCode code;
        code.virt = virt;
        code.modifier = modifier;
        return frame.onKeyDown(code);
    }

    KnobModeEditor editor;
    RecordingListener listener;
    CFrame frame;
    CKnob* knob;
    CKnob* other;
};

TEST_F(KnobInputTest, CircularDragFollowsThePointerAngleAndReportsOneEdit)
{
    // The default sweep runs 270 degrees from the lower left, so the top is
    // the middle and straight right is 0.5 + 90/270.
    press(100, 70);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f) << "a press alone changes nothing";
    move(130, 100);
    EXPECT_NEAR(knob->getValue(), 0.5 + 90.0 / 270.0, 1e-5);
    move(100, 130); // straight down: the gap, past the maximum
    EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
    move(70, 101); // across the gap to the left: stays at the end it came from
    EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
    release(70, 101);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"begin", "value 833", "value 1000", "end"}));
    EXPECT_EQ(frame.getMouseDownView(), nullptr);
    EXPECT_EQ(frame.getFocusView(), knob);
}

TEST_F(KnobInputTest, LinearModeFromTheFrameOrWithAltAndFinerWithShift)
{
    editor.mode = kLinearMode;
    press(100, 100);
    move(100, 60); // 40 pixels up over a 200-pixel range
    EXPECT_NEAR(knob->getValue(), 0.7, 1e-6);
    move(120, 60); // right counts like up
    EXPECT_NEAR(knob->getValue(), 0.8, 1e-6);
    // Shift mid-drag: the range grows 1.5 times from the next move on,
    // without a jump.
    move(121, 60, kLButton | kShift);
    EXPECT_NEAR(knob->getValue(), 0.805, 1e-6);
    move(121, 30, kLButton | kShift);
    EXPECT_NEAR(knob->getValue(), 0.805 + 30 / 300.0, 1e-5);
    release(121, 30);

    // In circular mode Alt makes one drag linear; in linear mode it makes it circular.
    editor.mode = kCircularMode;
    knob->setValue(0.5f);
    press(100, 100, kLButton | kAlt);
    move(100, 80, kLButton | kAlt);
    EXPECT_NEAR(knob->getValue(), 0.6, 1e-6);
    release(100, 80);
    editor.mode = kLinearMode;
    press(100, 70, kLButton | kAlt);
    move(130, 100, kLButton | kAlt);
    EXPECT_NEAR(knob->getValue(), 0.5 + 90.0 / 270.0, 1e-5);
    release(130, 100);
}

TEST_F(KnobInputTest, ControlClickReturnsToTheDefaultAsOneEdit)
{
    knob->setDefaultValue(0.25f);
    press(100, 100, kLButton | kControl);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.25f);
    move(100, 20, kLButton | kControl);
    release(100, 20);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.25f) << "no drag follows the reset click";
    EXPECT_EQ(listener.events, (std::vector<std::string>{"modifier", "begin", "value 250", "end"}));
    listener.events.clear();
    press(100, 100, kLButton | kControl | kShift);
    release(100, 100);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"modifier", "begin", "end"}))
        << "with another modifier too it is a drag, not a reset";
}

TEST_F(KnobInputTest, RightClickGoesToTheListenerFirst)
{
    press(100, 100, kRButton);
    EXPECT_EQ(listener.events, std::vector<std::string>{"modifier"});
    EXPECT_EQ(frame.getMouseDownView(), nullptr);
    listener.takeRightClicks = false;
    press(100, 100, kRButton);
    EXPECT_EQ(frame.getMouseDownView(), nullptr) << "the knob itself ignores the right button";
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
}

TEST_F(KnobInputTest, WheelStepsTheKnobUnderThePointerInOneEditThatEndsWhenTheWheelRests)
{
    const float up = 1.0f;
    const float down = -1.0f;
    EXPECT_TRUE(frame.onWheel(CPoint(200, 100), kMouseWheelAxisY, up, 0));
    EXPECT_TRUE(frame.onWheel(CPoint(200, 100), kMouseWheelAxisY, up, kShift));
    EXPECT_FALSE(frame.onWheel(CPoint(200, 100), kMouseWheelAxisX, down, 0)) << "sideways scrolling leaves knobs alone";
    EXPECT_NEAR(other->getValue(), 0.61, 1e-6);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"begin", "value 600", "value 610"}));
    CVSTGUITimer::fireDueTimers(CVSTGUITimer::now() + 100);
    EXPECT_EQ(listener.events.size(), 3u) << "still turning";
    CVSTGUITimer::fireDueTimers(CVSTGUITimer::now() + CKnob::wheelEditEndDelay + 10);
    EXPECT_EQ(listener.events.back(), "end");
    EXPECT_EQ(CVSTGUITimer::runningTimerCount(), 0);
    EXPECT_FALSE(frame.onWheel(CPoint(10, 10), kMouseWheelAxisY, up, 0)) << "nothing under the pointer";
}

TEST_F(KnobInputTest, ArrowKeysStepTheFocusedKnobEscapeCancelsADragTabMovesFocus)
{
    EXPECT_EQ(key(VKEY_UP), -1) << "no focus yet";
    press(100, 100);
    release(100, 100);
    listener.events.clear();
    EXPECT_EQ(key(VKEY_UP), 1);
    EXPECT_EQ(key(VKEY_LEFT, MODIFIER_SHIFT), 1);
    EXPECT_NEAR(knob->getValue(), 0.59, 1e-6);
    EXPECT_EQ(listener.events,
              (std::vector<std::string>{"begin", "value 600", "end", "begin", "value 590", "end"}));

    listener.events.clear();
    press(100, 70);
    move(130, 100);
    EXPECT_EQ(key(VKEY_ESCAPE), 1);
    EXPECT_NEAR(knob->getValue(), 0.59, 1e-6) << "back to where the drag started";
    EXPECT_EQ(listener.events, (std::vector<std::string>{"begin", "value 833", "value 590", "end"}));
    release(130, 100);
    EXPECT_EQ(listener.events.size(), 4u) << "the release after a cancel sends nothing";

    EXPECT_EQ(key(VKEY_TAB), 1);
    EXPECT_EQ(frame.getFocusView(), other);
    EXPECT_EQ(key(VKEY_TAB, MODIFIER_SHIFT), 1);
    EXPECT_EQ(frame.getFocusView(), knob);
}

TEST_F(KnobInputTest, TheDraggedKnobKeepsTheMouseAndClosingEndsItsEdit)
{
    press(100, 70);
    move(230, 100); // over the other knob: still this one's drag
    EXPECT_FLOAT_EQ(other->getValue(), 0.5f);
    EXPECT_EQ(frame.getMouseDownView(), knob);
    EXPECT_FALSE(frame.onWheel(CPoint(200, 100), kMouseWheelAxisY, 1.0f, kLButton)) << "no wheel during a drag";
    EXPECT_TRUE(knob->isEditing());
    frame.removeAll();
    EXPECT_EQ(listener.events.back(), "end");
    EXPECT_EQ(frame.getNbViews(), 0);
}

TEST_F(KnobInputTest, ASecondPressDuringADragKeepsItsOneEdit)
{
    // The window system reports another button's press with the left one
    // still held: the drag goes on, and its release ends the edit.
    press(100, 70);
    move(130, 100);
    press(130, 100, kLButton | kRButton);
    press(130, 100, kLButton | kMButton | kShift);
    move(100, 70);
    release(100, 70);
    EXPECT_FALSE(knob->isEditing());
    EXPECT_EQ(listener.events, (std::vector<std::string>{"begin", "value 833", "value 500", "end"}));
}

TEST(FrameRepaint, OnlyInvalidatedAreasAreRepainted)
{
    GDIPlusGlobals::enter();
    {
        CFrame frame(CRect(0, 0, 100, 60), nullptr);
        frame.setBackgroundColor(0xFF000000);
        auto* left = new CKnob(CRect(0, 0, 40, 40), nullptr, 0, nullptr, nullptr);
        auto* right = new CKnob(CRect(60, 0, 100, 40), nullptr, 0, nullptr, nullptr);
        frame.addView(left);
        frame.addView(right);
        EXPECT_EQ(frame.renderInvalid(), std::vector<CRect>{CRect(0, 0, 100, 60)}) << "all of it the first time";
        EXPECT_TRUE(frame.renderInvalid().empty());
        frame.setBackgroundColor(0xFFFF0000); // shows which pixels get repainted
        right->invalid();
        left->invalidRect(CRect(10.5, 10.5, 12.2, 12.2));
        const std::vector<CRect> painted = frame.renderInvalid();
        EXPECT_EQ(painted, (std::vector<CRect>{CRect(60, 0, 100, 40), CRect(10, 10, 13, 13)}));
        Gdiplus::Color color;
        frame.getBackBuffer()->GetPixel(99, 39, &color);
        EXPECT_EQ(color.GetValue(), 0xFFFF0000u);
        frame.getBackBuffer()->GetPixel(12, 12, &color);
        EXPECT_EQ(color.GetValue(), 0xFFFF0000u);
        frame.getBackBuffer()->GetPixel(50, 50, &color);
        EXPECT_EQ(color.GetValue(), 0xFF000000u) << "untouched outside the invalid areas";
    }
    GDIPlusGlobals::exit();
}

} // namespace
