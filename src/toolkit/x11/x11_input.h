#pragma once
// X11 input in the toolkit's terms.

#include "toolkit/cbuttonstate.h"
#include "toolkit/vstkeycode.h"

#include <X11/Xlib.h>

namespace VSTGUI::X11 {

// Shift, Control, Alt (Mod1) and Super (Mod4, as the command key).
std::int32_t modifiersFromState(unsigned int state);
// Buttons held during a motion event, with the modifiers.
CButtonState buttonsFromState(unsigned int state);
// The toolkit's flag for X buttons 1 to 3, or 0.
std::int32_t buttonFlag(unsigned int button);
// A key press or release as the views receive it.
VstKeyCode keyCodeFromEvent(XKeyEvent& event);

} // namespace VSTGUI::X11
