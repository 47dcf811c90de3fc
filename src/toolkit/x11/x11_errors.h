#pragma once
// Xlib's error handler is the process's; while a window the host may
// already have destroyed is touched, errors are ignored, then the
// previous handler is back. failed() tells whether a request in between
// was refused (it synchronises with the server to know).

#include <X11/Xlib.h>

namespace VSTGUI::X11 {

class IgnoredErrors {
public:
    explicit IgnoredErrors(Display* xDisplay) : display(xDisplay), previous(XSetErrorHandler(ignore)) { errors = 0; }
    ~IgnoredErrors()
    {
        XSync(display, False);
        XSetErrorHandler(previous);
    }
    IgnoredErrors(const IgnoredErrors&) = delete;
    IgnoredErrors& operator=(const IgnoredErrors&) = delete;

    bool failed()
    {
        XSync(display, False);
        return errors != 0;
    }

private:
    static int ignore(Display*, XErrorEvent*)
    {
        ++errors;
        return 0;
    }
    // Only the user-interface thread talks to the X server.
    static inline int errors = 0;
    Display* display;
    XErrorHandler previous;
};

} // namespace VSTGUI::X11
