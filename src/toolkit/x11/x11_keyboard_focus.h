#pragma once
// The X keyboard focus of the frame's window and the keys it does not use.
//
// The window takes the focus only while the editor needs keys (a click on
// a control that steps with the arrow keys) and gives it back to the window
// that had it when the pointer leaves, a click lands on something that
// takes no keys, or the window closes. Keys the frame does not use while
// the window has them are sent on to the host's window, so its transport
// and save shortcuts keep working with the editor focused.

struct _XDisplay;
union _XEvent;

namespace VSTGUI::X11 {

class KeyboardFocus {
public:
    KeyboardFocus(_XDisplay* xDisplay, unsigned long xWindow) : display(xDisplay), window(xWindow) {}
    KeyboardFocus(const KeyboardFocus&) = delete;
    KeyboardFocus& operator=(const KeyboardFocus&) = delete;

    void take(unsigned long time);
    void giveBack(unsigned long time);
    // Another window took the focus: there is nothing to give back.
    void lost() { holding = false; }
    bool isHeld() const { return holding; }

    // A key press or release the frame did not use, to the host's window.
    void forward(const _XEvent& keyEvent);

private:
    // The window keys go to when they are not the frame's: the one that
    // had the focus before the frame took it, else the host's top-level
    // window.
    unsigned long hostWindow() const;
    unsigned long topLevelAncestor() const;

    _XDisplay* display;
    unsigned long window;
    unsigned long previous = 0; // None
    int previousRevert = 2;     // RevertToParent
    bool holding = false;
};

} // namespace VSTGUI::X11
