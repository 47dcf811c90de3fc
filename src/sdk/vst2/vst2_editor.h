#pragma once
// The seam between the adapter and an editor: the VST 2 edit opcodes in the
// shape the adapter calls them. createVst2Editor binds the controller's
// view to the host's window; a controller without a view gives no editor.

#include <memory>

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "sdk/vst2/vst2_abi.h"

namespace Steinberg::Vst {

class Vst2Editor {
public:
    virtual ~Vst2Editor() = default;

    // effEditGetRect: points *rect at the editor's size, valid until the
    // next call; false if the size is not known.
    virtual bool getRect(vst2::ERect** rect) = 0;
    // effEditOpen with the host's parent window (an HWND or an X11 window id).
    virtual bool open(void* parentWindow) = 0;
    // effEditClose.
    virtual void close() = 0;
    // effEditIdle, on the host's user-interface thread.
    virtual void idle() = 0;
    // effEditKeyDown and effEditKeyUp, from hosts that hand keys to the
    // editor: true if it used the key (VST 2's virtual key codes and
    // modifier bits have VST 3's values).
    virtual bool key(bool down, char16 character, int16 virtualKey, int16 modifiers) = 0;
};

// The controller's editor bound for a VST 2 host, or null if it offers none.
std::unique_ptr<Vst2Editor> createVst2Editor(IEditController& controller, vst2::AEffect& effect,
                                             vst2::audioMasterCallback audioMaster);

} // namespace Steinberg::Vst
