#pragma once
// The frame's window on Windows: a child of the host's window, of a window
// class registered once per loaded module under a name of its own (and
// unregistered when the module unloads). WM_PAINT copies the invalidated
// part of the back buffer; a timer drives the toolkit's timers; the mouse
// is captured during a drag; every input goes into the frame, and keys it
// does not use go on to the host's window.

#include "toolkit/platform_frame.h"

#include <memory>

struct HWND__;
struct HDC__;
struct HBITMAP__;

namespace VSTGUI::Win32 {

class Frame final : public IPlatformFrame {
public:
    // Null when the window cannot be made.
    static std::unique_ptr<Frame> create(CFrame& frame, HWND__* parent);
    ~Frame() override;

    void update() override;
    void setSize(const CRect& size) override;
    void* getNativeHandle() const override;
    // The parent window's DPI over 96.
    double getNativeScale() const override;

    // Dispatches a window message (the window procedure's work).
    long long handle(unsigned int message, unsigned long long wParam, long long lParam);

    // How often the window's timer runs the toolkit's timers, ms.
    static constexpr unsigned int timerInterval = 10;

private:
    Frame(CFrame& frame, HWND__* window);
    void makeSurface();
    // A key message the frame does not use, to the host's window.
    long long forwardToHost(unsigned int message, unsigned long long wParam, long long lParam);
    void copyToSurface(const CRect& area);

    CFrame& frame;
    HWND__* window;
    HDC__* surfaceDC = nullptr;
    HBITMAP__* surface = nullptr;
    HBITMAP__* previousBitmap = nullptr;
    void* surfaceBits = nullptr;
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    bool capturing = false;
    bool keyDownForwarded = true;
    bool forwardingKey = false;
};

// The window class's name in this loaded module.
const wchar_t* windowClassName();

} // namespace VSTGUI::Win32
