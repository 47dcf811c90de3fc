#pragma once
// Windows input in the toolkit's terms.

#include "toolkit/cbuttonstate.h"
#include "toolkit/vstkeycode.h"

namespace VSTGUI::Win32 {

// Shift, Control and Alt as they are held now.
std::int32_t currentModifiers();
// The buttons a mouse message's wParam says are held.
std::int32_t buttonsFromKeyState(unsigned long long wParam);
// A WM_KEYDOWN or WM_KEYUP's virtual key; virt 0 when it is none the views know.
VstKeyCode keyCodeFromVirtualKey(unsigned long long virtualKey);

} // namespace VSTGUI::Win32
