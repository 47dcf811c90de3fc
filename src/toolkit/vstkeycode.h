#pragma once
// A key press as the toolkit's views receive it: a character or a virtual
// key, and the modifier keys held.

#include <cstdint>

namespace VSTGUI {

struct VstKeyCode {
    std::int32_t character = 0;
    unsigned char virt = 0;     // a VstVirtualKey, or 0 for a character
    unsigned char modifier = 0; // VstModifierKey bits
};

enum VstVirtualKey : unsigned char {
    VKEY_BACK = 1,
    VKEY_TAB,
    VKEY_CLEAR,
    VKEY_RETURN,
    VKEY_PAUSE,
    VKEY_ESCAPE,
    VKEY_SPACE,
    VKEY_NEXT,
    VKEY_END,
    VKEY_HOME,
    VKEY_LEFT,
    VKEY_UP,
    VKEY_RIGHT,
    VKEY_DOWN,
    VKEY_PAGEUP,
    VKEY_PAGEDOWN,
};

enum VstModifierKey : unsigned char {
    MODIFIER_SHIFT = 1 << 0,
    MODIFIER_ALTERNATE = 1 << 1,
    MODIFIER_COMMAND = 1 << 2,
    MODIFIER_CONTROL = 1 << 3,
};

} // namespace VSTGUI
