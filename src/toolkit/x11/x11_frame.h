#pragma once
// The frame's window on Linux: a child of the host's X11 window, with its
// own connection to the X server. Events are drained without blocking
// whenever the run loop reports the connection (or the host idles); the
// timer drives the toolkit's timers; only invalidated areas are repainted
// and copied to the window. Keys the frame does not use go on to the host.

#include "toolkit/platform_frame.h"
#include "toolkit/x11/x11_blitter.h"
#include "toolkit/x11/x11_keyboard_focus.h"
#include "toolkit/x11/x11_run_loop.h"

#include <memory>
#include <vector>

struct _XDisplay;
union _XEvent;

namespace VSTGUI::X11 {

class Frame final : public IPlatformFrame, private IEventHandler, private ITimerHandler {
public:
    // Null when the X server cannot be reached or the window not made.
    static std::unique_ptr<Frame> create(CFrame& frame, unsigned long parent, std::shared_ptr<IRunLoop> runLoop);
    ~Frame() override;

    void update() override;
    void setSize(const CRect& size) override;
    void* getNativeHandle() const override;
    // Xft.dpi over 96, for hosts that say nothing of their scale.
    double getNativeScale() const override;

    // How often the run loop calls the frame's timer.
    static constexpr std::uint64_t timerInterval = 10;

private:
    Frame(CFrame& frame, _XDisplay* display, unsigned long window, std::shared_ptr<IRunLoop> runLoop);

    void onEvent() override;
    void onTimer() override;
    void processEvents();
    void handle(_XEvent& event);
    void handleButtonPress(_XEvent& event);
    void repaint();

    CFrame& frame;
    _XDisplay* display;
    unsigned long window; // 0 once the host has destroyed it
    std::shared_ptr<IRunLoop> runLoop;
    std::unique_ptr<Blitter> blitter;
    KeyboardFocus keyboardFocus;
    std::vector<CRect> exposed;
    unsigned long lastClickTime = 0;
    unsigned int lastClickButton = 0;
    CPoint lastClickPoint;
};

} // namespace VSTGUI::X11
