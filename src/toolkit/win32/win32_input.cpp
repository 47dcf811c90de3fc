#include "toolkit/win32/win32_input.h"

#include <windows.h>

namespace VSTGUI::Win32 {

std::int32_t currentModifiers()
{
    std::int32_t modifiers = 0;
    if (GetKeyState(VK_SHIFT) & 0x8000)
        modifiers |= kShift;
    if (GetKeyState(VK_CONTROL) & 0x8000)
        modifiers |= kControl;
    if (GetKeyState(VK_MENU) & 0x8000)
        modifiers |= kAlt;
    if ((GetKeyState(VK_LWIN) | GetKeyState(VK_RWIN)) & 0x8000)
        modifiers |= kApple;
    return modifiers;
}

std::int32_t buttonsFromKeyState(unsigned long long wParam)
{
    std::int32_t buttons = currentModifiers();
    if (wParam & MK_LBUTTON)
        buttons |= kLButton;
    if (wParam & MK_MBUTTON)
        buttons |= kMButton;
    if (wParam & MK_RBUTTON)
        buttons |= kRButton;
    return buttons;
}

VstKeyCode keyCodeFromVirtualKey(unsigned long long virtualKey)
{
    VstKeyCode code;
    switch (virtualKey) {
    case VK_BACK: code.virt = VKEY_BACK; break;
    case VK_TAB: code.virt = VKEY_TAB; break;
    case VK_CLEAR: code.virt = VKEY_CLEAR; break;
    case VK_RETURN: code.virt = VKEY_RETURN; break;
    case VK_PAUSE: code.virt = VKEY_PAUSE; break;
    case VK_ESCAPE: code.virt = VKEY_ESCAPE; break;
    case VK_SPACE: code.virt = VKEY_SPACE; break;
    case VK_NEXT: code.virt = VKEY_NEXT; break;
    case VK_END: code.virt = VKEY_END; break;
    case VK_HOME: code.virt = VKEY_HOME; break;
    case VK_LEFT: code.virt = VKEY_LEFT; break;
    case VK_UP: code.virt = VKEY_UP; break;
    case VK_RIGHT: code.virt = VKEY_RIGHT; break;
    case VK_DOWN: code.virt = VKEY_DOWN; break;
    case VK_PRIOR: code.virt = VKEY_PAGEUP; break;
    default: break;
    }
    const std::int32_t modifiers = currentModifiers();
    if (modifiers & kShift)
        code.modifier |= MODIFIER_SHIFT;
    if (modifiers & kAlt)
        code.modifier |= MODIFIER_ALTERNATE;
    if (modifiers & kControl)
        code.modifier |= MODIFIER_CONTROL;
    if (modifiers & kApple)
        code.modifier |= MODIFIER_COMMAND;
    return code;
}

} // namespace VSTGUI::Win32
