#pragma once
// A Linux DAW's window for a plug-in view: a top-level X11 window on its
// own connection, whose id is the parent the view is attached to. Reads
// back what the screen shows there and sends input as a user would, through
// the XTest extension.

#include <cstdint>
#include <string>
#include <vector>

struct _XDisplay;

namespace tarvel::host {

class X11HostWindow {
public:
    // Throws std::runtime_error without an X server or XTest.
    X11HostWindow(int width, int height, int x = 0, int y = 0);
    ~X11HostWindow();
    X11HostWindow(const X11HostWindow&) = delete;
    X11HostWindow& operator=(const X11HostWindow&) = delete;

    // Resizes the window, as a host does for a view that asks.
    void resize(int width, int height);
    // Sets the X server's resources (the RESOURCE_MANAGER property of the
    // root window), which X clients read when they connect; empty removes
    // them.
    void setServerResources(const std::string& resources);

    // The value to pass to IPlugView::attached.
    void* parent() const;
    unsigned long window() const { return id; }
    // The child windows the plug-in made.
    std::vector<unsigned long> children() const;
    bool isMapped(unsigned long window) const;
    // A window property as 32-bit items (empty when absent).
    std::vector<long> property(unsigned long window, const std::string& name) const;

    // 0xAARRGGBB pixels of the window's area, row by row, as the screen
    // shows it (children included).
    std::vector<std::uint32_t> capture(int x, int y, int width, int height) const;

    // Pointer and buttons in window coordinates; button 1 left, 3 right,
    // 4 and 5 the wheel up and down.
    void moveTo(int x, int y);
    void press(int button);
    void release(int button);
    void click(int button);
    // Key press and release of a key symbol (XK_... value), with the
    // modifier keys given held down around it.
    void key(unsigned long keysym, const std::vector<unsigned long>& held = {});

    // A key event the host's window received: typed while it had the
    // keyboard, or passed on to it by the plug-in's window (synthetic).
    struct KeyEvent {
        bool press;
        unsigned long keysym; // unshifted
        unsigned int state;   // X modifier mask
        bool synthetic;
    };
    // What arrived since the last call.
    std::vector<KeyEvent> keysReceived();
    // The window that has the X keyboard focus (1: the pointer's window,
    // 0: none).
    unsigned long focusWindow() const;
    // Waits until the server has handled all requests.
    void sync() const;

    // X protocol errors seen by the process since it started (any connection).
    static int errorCount();

private:
    _XDisplay* display;
    unsigned long id;
};

} // namespace tarvel::host
