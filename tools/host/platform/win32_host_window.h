#pragma once
// A Windows DAW's window for a plug-in view: a top-level window whose HWND
// is the parent the view is attached to, a message pump, the screen's
// pixels read back, and input sent as the window messages a user's mouse
// makes.

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

struct HWND__;

namespace tarvel::host {

class Win32HostWindow {
public:
    // Throws std::runtime_error when the window cannot be made.
    Win32HostWindow(int width, int height, int x = 0, int y = 0);
    ~Win32HostWindow();
    Win32HostWindow(const Win32HostWindow&) = delete;
    Win32HostWindow& operator=(const Win32HostWindow&) = delete;

    void* parent() const;
    // The plug-in's window inside, or null.
    HWND__* child() const;

    // Dispatches messages for the time given, or until done() holds.
    static void pump(std::chrono::milliseconds duration, const std::function<bool()>& done = {});

    // 0xAARRGGBB pixels of the area, as the screen shows it.
    std::vector<std::uint32_t> capture(int x, int y, int width, int height) const;

    // Mouse messages to the plug-in's window at its client coordinates;
    // button 1 left, 3 right. The wheel's delta in notches (up positive).
    void press(int x, int y, int button);
    void moveTo(int x, int y, int heldButton);
    void release(int x, int y, int button);
    void wheel(int x, int y, int notches);

    // A key typed as the keyboard does it: WM_KEYDOWN and WM_KEYUP posted
    // to the window that has the focus and pumped (so TranslateMessage
    // makes the WM_CHAR), with Control held in the thread's key state if
    // asked.
    void key(unsigned int virtualKey, bool control = false);
    // Key messages (WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYS...) the host's
    // own window received since the last call.
    struct KeyMessage {
        unsigned int message;
        unsigned long long wParam;
    };
    std::vector<KeyMessage> keysReceived();

private:
    HWND__* window;
};

} // namespace tarvel::host
