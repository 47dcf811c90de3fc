#include "toolkit/x11/x11_keyboard_focus.h"

#include "toolkit/x11/x11_errors.h"

#include <X11/Xlib.h>

namespace VSTGUI::X11 {

void KeyboardFocus::take(unsigned long time)
{
    IgnoredErrors guard(display);
    if (!holding) {
        Window focused = None;
        int revert = RevertToParent;
        XGetInputFocus(display, &focused, &revert);
        if (focused != window) {
            previous = focused;
            previousRevert = revert;
        }
    }
    XSetInputFocus(display, window, RevertToParent, time);
    holding = true;
}

void KeyboardFocus::giveBack(unsigned long time)
{
    if (!holding)
        return;
    holding = false;
    IgnoredErrors guard(display);
    if (previous == PointerRoot) {
        XSetInputFocus(display, PointerRoot, RevertToPointerRoot, time);
        return;
    }
    // The window that had it may be gone by now: then the host's top level.
    if (previous != None) {
        XSetInputFocus(display, previous, previousRevert, time);
        if (!guard.failed())
            return;
    }
    XSetInputFocus(display, topLevelAncestor(), RevertToParent, time);
}

void KeyboardFocus::forward(const _XEvent& keyEvent)
{
    const Window target = hostWindow();
    if (target == None)
        return;
    const XKeyEvent& event = keyEvent.xkey;
    XEvent copy{};
    copy.xkey = event;
    copy.xkey.window = target;
    copy.xkey.subwindow = None;
    IgnoredErrors guard(display);
    XSendEvent(display, target, True, event.type == KeyPress ? KeyPressMask : KeyReleaseMask, &copy);
}

unsigned long KeyboardFocus::hostWindow() const
{
    if (holding && previous != None && previous != PointerRoot)
        return previous;
    return topLevelAncestor();
}

unsigned long KeyboardFocus::topLevelAncestor() const
{
    Window current = window;
    for (;;) {
        Window root = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, current, &root, &parent, &children, &count))
            return current == window ? None : current;
        if (children)
            XFree(children);
        if (parent == None || parent == root)
            return current == window ? None : current;
        current = parent;
    }
}

} // namespace VSTGUI::X11
