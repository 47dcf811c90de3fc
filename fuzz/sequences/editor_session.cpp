#include "editor_session.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "fuzz_choices.h"
#include "fuzz_failure.h"
#include "in_process_module.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivstplugview.h"
#include "sdk/vstgui_editor.h"
#include "toolkit/cframe.h"
#include "toolkit/cvstguitimer.h"
#include "toolkit/vstkeycode.h"

namespace tarvel::fuzz {

using namespace Steinberg;

namespace {

constexpr std::array<unsigned char, 12> keys{0,
                                             VSTGUI::VKEY_TAB,
                                             VSTGUI::VKEY_ESCAPE,
                                             VSTGUI::VKEY_RETURN,
                                             VSTGUI::VKEY_SPACE,
                                             VSTGUI::VKEY_LEFT,
                                             VSTGUI::VKEY_UP,
                                             VSTGUI::VKEY_RIGHT,
                                             VSTGUI::VKEY_DOWN,
                                             VSTGUI::VKEY_PAGEUP,
                                             VSTGUI::VKEY_HOME,
                                             255};

constexpr std::array<double, 10> scales{1.0, 1.25, 1.5, 2.0, 3.0, 0.5, 8.0, 0.0, -1.0, 9.0};

template <typename Interface>
IPtr<Interface> interfaceOf(FUnknown* object)
{
    void* found = nullptr;
    if (!object || object->queryInterface(Interface::iid, &found) != kResultOk || !found)
        return nullptr;
    return owned(static_cast<Interface*>(found));
}

} // namespace

EditorSession::EditorSession() : plugin(inProcessModule()), gestures(plugin.handler())
{
    view = owned(plugin.controller()->createView(Vst::ViewType::kEditor));
    editor = dynamic_cast<Vst::VSTGUIEditor*>(view.get());
    require(editor != nullptr, "the controller made no editor");
    // What attached does once a window exists, without the window: the
    // frame is built (with no parent it stays offscreen) and the view joins
    // the controller's editors.
    editor->open(nullptr, VSTGUI::PlatformType::kDefaultNative);
    require(editor->getFrame() != nullptr, "the editor built no frame");
    editor->CPluginView::attached(nullptr, kPlatformTypeX11EmbedWindowID);
    clock = VSTGUI::CVSTGUITimer::now();
}

EditorSession::~EditorSession()
{
    if (view)
        view->removed();
}

VSTGUI::CPoint EditorSession::pointer(FuzzedDataProvider& in) const
{
    // As a window backend reports it: whole device pixels, mostly inside
    // the window, mapped to the frame.
    const double x = in.ConsumeIntegralInRange<int>(-50, 1100);
    const double y = in.ConsumeIntegralInRange<int>(-50, 600);
    return editor->getFrame()->deviceToFrame(VSTGUI::CPoint(x, y));
}

std::int32_t EditorSession::buttons(FuzzedDataProvider& in) const
{
    return in.ConsumeIntegral<std::uint16_t>() & 0x7FE;
}

void EditorSession::mouseDown(FuzzedDataProvider& in)
{
    VSTGUI::CPoint where = pointer(in);
    std::int32_t state = buttons(in);
    if (in.ConsumeBool())
        state |= VSTGUI::kLButton;
    buttonsHeld |= state & (VSTGUI::kLButton | VSTGUI::kMButton | VSTGUI::kRButton);
    editor->getFrame()->onMouseDown(where, state);
}

void EditorSession::mouseMoved(FuzzedDataProvider& in)
{
    VSTGUI::CPoint where = pointer(in);
    const std::int32_t state = in.ConsumeBool() ? buttonsHeld | (buttons(in) & 0xF0) : buttons(in);
    editor->getFrame()->onMouseMoved(where, state);
}

void EditorSession::mouseUp(FuzzedDataProvider& in)
{
    VSTGUI::CPoint where = pointer(in);
    const std::int32_t state = in.ConsumeBool() ? buttonsHeld : buttons(in);
    buttonsHeld = 0;
    editor->getFrame()->onMouseUp(where, state);
}

void EditorSession::mouseCancel() { editor->getFrame()->onMouseCancel(); }

void EditorSession::wheel(FuzzedDataProvider& in)
{
    const float distance = in.PickValueInArray({1.0f, -1.0f, 0.25f, -3.0f, 120.0f, 0.0f,
                                                std::numeric_limits<float>::quiet_NaN(),
                                                std::numeric_limits<float>::infinity()});
    if (in.ConsumeBool()) {
        // Through the host's view, at the pointer's last place.
        view->onWheel(distance);
        return;
    }
    const VSTGUI::CPoint where = pointer(in);
    const auto axis = in.ConsumeBool() ? VSTGUI::kMouseWheelAxisY : VSTGUI::kMouseWheelAxisX;
    editor->getFrame()->onWheel(where, axis, distance, buttons(in));
}

void EditorSession::keyDown(FuzzedDataProvider& in)
{
    const unsigned char key = in.PickValueInArray(keys);
    const auto character = static_cast<char16>(key == 0 ? in.ConsumeIntegralInRange<int>(32, 126) : 0);
    const auto modifiers = static_cast<int16>(in.ConsumeIntegralInRange<int>(0, 15));
    keyHeld = key;
    view->onKeyDown(character, static_cast<int16>(key), modifiers);
}

void EditorSession::keyUp(FuzzedDataProvider& in)
{
    const unsigned char key = in.ConsumeBool() && keyHeld ? *keyHeld : in.PickValueInArray(keys);
    if (keyHeld == key)
        keyHeld.reset();
    view->onKeyUp(0, static_cast<int16>(key), static_cast<int16>(in.ConsumeIntegralInRange<int>(0, 15)));
}

void EditorSession::setContentScale(FuzzedDataProvider& in)
{
    auto support = interfaceOf<IPlugViewContentScaleSupport>(view);
    require(support != nullptr, "the editor offers no content scale support");
    const double factor = in.ConsumeBool() ? in.PickValueInArray(scales) : 0.25 + in.ConsumeProbability<double>() * 4;
    support->setContentScaleFactor(static_cast<IPlugViewContentScaleSupport::ScaleFactor>(factor));
}

void EditorSession::hostChangesParameter(FuzzedDataProvider& in)
{
    // Automation playing back, or the host's own control of the parameter.
    const auto id = static_cast<Vst::ParamID>(in.ConsumeIntegralInRange<int>(0, 5));
    plugin.controller()->setParamNormalized(id, anyNormalisedValue(in));
}

void EditorSession::setKnobMode(FuzzedDataProvider& in)
{
    if (auto controller2 = interfaceOf<Vst::IEditController2>(plugin.controller()))
        controller2->setKnobMode(in.ConsumeIntegralInRange<Vst::KnobMode>(0, 3));
}

void EditorSession::timePasses(FuzzedDataProvider& in)
{
    advanceClock(in.PickValueInArray({10u, 50u, 300u, 1000u, 5000u}));
    // The editor's own tick, which runs while a host window shows it.
    editor->notify(nullptr, VSTGUI::CVSTGUITimer::kMsgTimer);
}

void EditorSession::advanceClock(std::uint64_t milliseconds)
{
    // Timers are due by the real clock, which a slow input may have taken
    // past this one: never behind it.
    clock = std::max(clock, VSTGUI::CVSTGUITimer::now()) + milliseconds;
    VSTGUI::CVSTGUITimer::fireDueTimers(clock);
}

void EditorSession::render() { editor->getFrame()->renderInvalid(); }

void EditorSession::chooseMenuItem(FuzzedDataProvider& in)
{
    host::ContextMenu* menu = plugin.handler().lastMenu();
    Vst::IContextMenuTarget* target = nullptr;
    int32 tag = 0;
    if (menu && !menu->entries().empty() && in.ConsumeBool()) {
        const auto& entry = menu->entries()[in.ConsumeIntegralInRange<std::size_t>(0, menu->entries().size() - 1)];
        target = entry.target;
        tag = entry.item.tag;
    } else {
        tag = in.ConsumeIntegralInRange<int32>(-10, 3500);
    }
    // The manual opens in the user's browser: not something to do thousands
    // of times a second.
    if (tag / 1000 == 2)
        return;
    if (target) {
        target->executeMenuItem(tag);
    } else if (auto own = interfaceOf<Vst::IContextMenuTarget>(view)) {
        own->executeMenuItem(tag);
    }
}

void EditorSession::askHost(FuzzedDataProvider& in)
{
    // What a host asks of a view: which parameter is under a point, and
    // whether a size is acceptable before resizing to it.
    const int32 x = in.ConsumeIntegralInRange<int32>(-100, 2100);
    const int32 y = in.ConsumeIntegralInRange<int32>(-100, 1100);
    if (auto finder = interfaceOf<Vst::IParameterFinder>(view)) {
        Vst::ParamID found = 0;
        if (finder->findParameter(x, y, found) == kResultOk)
            require(found < 5, "findParameter named a parameter the plug-in does not have", double(found));
    }
    ViewRect proposed(0, 0, x, y);
    if (view->checkSizeConstraint(&proposed) == kResultOk && in.ConsumeBool())
        view->onSize(&proposed);
}

void EditorSession::letGo()
{
    auto* frame = editor->getFrame();
    if (buttonsHeld) {
        VSTGUI::CPoint where;
        frame->getCurrentMouseLocation(where);
        frame->onMouseUp(where, buttonsHeld);
        buttonsHeld = 0;
    }
    if (keyHeld) {
        view->onKeyUp(0, static_cast<int16>(*keyHeld), 0);
        keyHeld.reset();
    }
    // Long enough for the wheel to count as resting.
    advanceClock(10000);
    gestures.checkNewEdits();
    // TARVEL_FUZZ_TRACE=1 shows how much each input made the host hear.
    static const bool trace = std::getenv("TARVEL_FUZZ_TRACE") != nullptr;
    if (trace)
        std::fprintf(stderr, "tarvel fuzz: %zu edits, %d menus\n", plugin.handler().edits().size(),
                     plugin.handler().menusMade);
    require(gestures.allClosed(), "an edit is still open after the user let go of everything");
}

} // namespace tarvel::fuzz
