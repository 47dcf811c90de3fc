// X11: the parent's children as the server lists them, bottom to top, on a
// connection of its own (the view's connection is the toolkit's business).
#include "sdk/lv2/lv2_ui_window.h"

#include <X11/Xlib.h>

namespace Steinberg::Vst {

std::vector<std::uintptr_t> lv2ChildWindows(std::uintptr_t parent)
{
    std::vector<std::uintptr_t> windows;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return windows;
    Window root = 0, parentOfParent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, static_cast<Window>(parent), &root, &parentOfParent, &children, &count) && children) {
        for (unsigned int i = 0; i < count; ++i)
            windows.push_back(static_cast<std::uintptr_t>(children[i]));
        XFree(children);
    }
    XCloseDisplay(display);
    return windows;
}

} // namespace Steinberg::Vst
