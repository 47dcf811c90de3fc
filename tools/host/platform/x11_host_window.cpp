#include "tools/host/platform/x11_host_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace tarvel::host {

namespace {

std::atomic<int> errors{0};

int countError(Display*, XErrorEvent*)
{
    ++errors;
    return 0;
}

} // namespace

int X11HostWindow::errorCount() { return errors; }

X11HostWindow::X11HostWindow(int width, int height, int x, int y) : display(XOpenDisplay(nullptr)), id(0)
{
    if (!display)
        throw std::runtime_error(std::string("no X server at DISPLAY=") + (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "(unset)"));
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
        XCloseDisplay(display);
        throw std::runtime_error("the X server has no XTest extension");
    }
    // Counted, not fatal: tests assert that there are none.
    XSetErrorHandler(countError);
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.override_redirect = True; // no window manager moves it
    attributes.event_mask = StructureNotifyMask | KeyPressMask | KeyReleaseMask;
    id = XCreateWindow(display, RootWindow(display, screen), x, y, unsigned(width), unsigned(height), 0,
                       CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWOverrideRedirect | CWEventMask,
                       &attributes);
    XMapRaised(display, id);
    XEvent mapped;
    do
        XNextEvent(display, &mapped);
    while (mapped.type != MapNotify);
    XSync(display, False);
}

X11HostWindow::~X11HostWindow()
{
    XDestroyWindow(display, id);
    XSync(display, False);
    XCloseDisplay(display);
}

void X11HostWindow::resize(int width, int height)
{
    XResizeWindow(display, id, unsigned(width), unsigned(height));
    XSync(display, False);
}

void X11HostWindow::setServerResources(const std::string& resources)
{
    const Window root = DefaultRootWindow(display);
    if (resources.empty())
        XDeleteProperty(display, root, XA_RESOURCE_MANAGER);
    else
        XChangeProperty(display, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(resources.c_str()), int(resources.size()));
    XSync(display, False);
}

void* X11HostWindow::parent() const { return reinterpret_cast<void*>(std::uintptr_t(id)); }

std::vector<unsigned long> X11HostWindow::children() const
{
    Window root = 0, parentWindow = 0;
    Window* list = nullptr;
    unsigned int count = 0;
    std::vector<unsigned long> result;
    if (XQueryTree(display, id, &root, &parentWindow, &list, &count)) {
        result.assign(list, list + count);
        if (list)
            XFree(list);
    }
    return result;
}

bool X11HostWindow::isMapped(unsigned long window) const
{
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

std::vector<long> X11HostWindow::property(unsigned long window, const std::string& name) const
{
    const Atom atom = XInternAtom(display, name.c_str(), True);
    if (atom == None)
        return {};
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(display, window, atom, 0, 64, False, AnyPropertyType, &type, &format, &count, &left,
                           &data) == Success &&
        format == 32 && data) {
        const auto* items = reinterpret_cast<const long*>(data);
        values.assign(items, items + count);
    }
    if (data)
        XFree(data);
    return values;
}

std::vector<std::uint32_t> X11HostWindow::capture(int x, int y, int width, int height) const
{
    sync();
    XImage* image = XGetImage(display, id, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!image)
        return {};
    std::vector<std::uint32_t> pixels;
    pixels.reserve(std::size_t(width) * std::size_t(height));
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            const auto channel = [&](unsigned long mask) {
                int shift = 0;
                while (mask && !((mask >> shift) & 1))
                    ++shift;
                const unsigned long levels = mask >> shift;
                return levels ? std::uint32_t(((pixel & mask) >> shift) * 255 / levels) : 0u;
            };
            pixels.push_back(0xFF000000u | channel(image->red_mask) << 16 | channel(image->green_mask) << 8 |
                             channel(image->blue_mask));
        }
    XDestroyImage(image);
    return pixels;
}

void X11HostWindow::moveTo(int x, int y)
{
    Window child = 0;
    int rootX = 0, rootY = 0;
    XTranslateCoordinates(display, id, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    sync();
}

void X11HostWindow::press(int button)
{
    XTestFakeButtonEvent(display, unsigned(button), True, CurrentTime);
    sync();
}

void X11HostWindow::release(int button)
{
    XTestFakeButtonEvent(display, unsigned(button), False, CurrentTime);
    sync();
}

void X11HostWindow::click(int button)
{
    press(button);
    release(button);
}

void X11HostWindow::key(unsigned long keysym, const std::vector<unsigned long>& held)
{
    for (unsigned long modifier : held)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, modifier), True, CurrentTime);
    const KeyCode code = XKeysymToKeycode(display, keysym);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    for (auto modifier = held.rbegin(); modifier != held.rend(); ++modifier)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, *modifier), False, CurrentTime);
    sync();
}

std::vector<X11HostWindow::KeyEvent> X11HostWindow::keysReceived()
{
    std::vector<KeyEvent> keys;
    XSync(display, False);
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != KeyPress && event.type != KeyRelease)
            continue;
        keys.push_back({event.type == KeyPress, XLookupKeysym(&event.xkey, 0), event.xkey.state,
                        event.xkey.send_event != 0});
    }
    return keys;
}

unsigned long X11HostWindow::focusWindow() const
{
    Window focused = None;
    int revert = 0;
    XGetInputFocus(display, &focused, &revert);
    return focused;
}

void X11HostWindow::sync() const { XSync(display, False); }

} // namespace tarvel::host
