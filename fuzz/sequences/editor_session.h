#pragma once
// The plug-in's editor as a host opens it (the controller's createView,
// from an instance made through the module's factory), on a frame without
// a window: it renders offscreen, and the fuzzer's bytes stand in for the
// window backend, feeding it the mouse, wheel and key events, and for the
// host, changing the content scale, parameters and knob mode and choosing
// menu items.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <optional>

#include "edit_gestures.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"
#include "toolkit/cpoint.h"
#include "tools/host/plugin_instance.h"

namespace Steinberg::Vst {
class VSTGUIEditor;
}
namespace VSTGUI {
class CFrame;
}

namespace tarvel::fuzz {

class EditorSession {
public:
    EditorSession();
    ~EditorSession();

    void mouseDown(FuzzedDataProvider& in);
    void mouseMoved(FuzzedDataProvider& in);
    void mouseUp(FuzzedDataProvider& in);
    void mouseCancel();
    void wheel(FuzzedDataProvider& in);
    void keyDown(FuzzedDataProvider& in);
    void keyUp(FuzzedDataProvider& in);
    void setContentScale(FuzzedDataProvider& in);
    void hostChangesParameter(FuzzedDataProvider& in);
    void setKnobMode(FuzzedDataProvider& in);
    // Time passes: timers that are due fire, the editor's tick among them.
    void timePasses(FuzzedDataProvider& in);
    void render();
    void chooseMenuItem(FuzzedDataProvider& in);
    void askHost(FuzzedDataProvider& in);

    // Checks what the host has heard since the last call.
    void checkEdits() { gestures.checkNewEdits(); }
    // The user lets go of everything: buttons up, keys released, the
    // wheel at rest. Every edit must then be closed.
    void letGo();

private:
    VSTGUI::CPoint pointer(FuzzedDataProvider& in) const;
    std::int32_t buttons(FuzzedDataProvider& in) const;
    // Time passes by this much, at least up to now; due timers fire.
    void advanceClock(std::uint64_t milliseconds);

    host::PluginInstance plugin;
    EditGestures gestures;
    Steinberg::IPtr<Steinberg::IPlugView> view;
    Steinberg::Vst::VSTGUIEditor* editor = nullptr;
    std::int32_t buttonsHeld = 0;
    std::optional<std::uint8_t> keyHeld;
    // The timers' clock as this session has moved it.
    std::uint64_t clock = 0;
};

} // namespace tarvel::fuzz
