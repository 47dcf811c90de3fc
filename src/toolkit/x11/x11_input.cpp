#include "toolkit/x11/x11_input.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace VSTGUI::X11 {

std::int32_t modifiersFromState(unsigned int state)
{
    std::int32_t modifiers = 0;
    if (state & ShiftMask)
        modifiers |= kShift;
    if (state & ControlMask)
        modifiers |= kControl;
    if (state & Mod1Mask)
        modifiers |= kAlt;
    if (state & Mod4Mask)
        modifiers |= kApple;
    return modifiers;
}

CButtonState buttonsFromState(unsigned int state)
{
    std::int32_t buttons = modifiersFromState(state);
    if (state & Button1Mask)
        buttons |= kLButton;
    if (state & Button2Mask)
        buttons |= kMButton;
    if (state & Button3Mask)
        buttons |= kRButton;
    return buttons;
}

std::int32_t buttonFlag(unsigned int button)
{
    switch (button) {
    case Button1: return kLButton;
    case Button2: return kMButton;
    case Button3: return kRButton;
    default: return 0;
    }
}

namespace {

unsigned char virtualKey(KeySym symbol)
{
    switch (symbol) {
    case XK_BackSpace: return VKEY_BACK;
    case XK_Tab:
    case XK_ISO_Left_Tab: return VKEY_TAB;
    case XK_Clear: return VKEY_CLEAR;
    case XK_Return:
    case XK_KP_Enter: return VKEY_RETURN;
    case XK_Pause: return VKEY_PAUSE;
    case XK_Escape: return VKEY_ESCAPE;
    case XK_space: return VKEY_SPACE;
    case XK_Page_Down:
    case XK_KP_Page_Down: return VKEY_NEXT;
    case XK_End:
    case XK_KP_End: return VKEY_END;
    case XK_Home:
    case XK_KP_Home: return VKEY_HOME;
    case XK_Left:
    case XK_KP_Left: return VKEY_LEFT;
    case XK_Up:
    case XK_KP_Up: return VKEY_UP;
    case XK_Right:
    case XK_KP_Right: return VKEY_RIGHT;
    case XK_Down:
    case XK_KP_Down: return VKEY_DOWN;
    case XK_Page_Up:
    case XK_KP_Page_Up: return VKEY_PAGEUP;
    default: return 0;
    }
}

} // namespace

VstKeyCode keyCodeFromEvent(XKeyEvent& event)
{
    char text[8] = {};
    KeySym symbol = NoSymbol;
    const int length = XLookupString(&event, text, sizeof text, &symbol, nullptr);
    VstKeyCode code;
    code.virt = virtualKey(symbol);
    if (code.virt == 0 && length == 1)
        code.character = static_cast<unsigned char>(text[0]);
    const std::int32_t modifiers = modifiersFromState(event.state);
    if (modifiers & kShift)
        code.modifier |= MODIFIER_SHIFT;
    if (modifiers & kAlt)
        code.modifier |= MODIFIER_ALTERNATE;
    if (modifiers & kApple)
        code.modifier |= MODIFIER_COMMAND;
    if (modifiers & kControl)
        code.modifier |= MODIFIER_CONTROL;
    return code;
}

} // namespace VSTGUI::X11
