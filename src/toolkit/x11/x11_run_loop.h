#pragma once
// The event loop an X11 frame lives in: a host's, reached through its
// plug-in interface, or a test's. The frame registers its X connection's
// descriptor and a timer; the loop calls back on the user-interface thread.

#include "toolkit/platform_frame.h"

#include <cstdint>
#include <memory>

namespace VSTGUI::X11 {

class IEventHandler {
public:
    // The descriptor may be readable (or the loop may call anyway).
    virtual void onEvent() = 0;

protected:
    ~IEventHandler() = default;
};

class ITimerHandler {
public:
    virtual void onTimer() = 0;

protected:
    ~ITimerHandler() = default;
};

class IRunLoop {
public:
    virtual ~IRunLoop() = default;
    virtual bool registerEventHandler(int fd, IEventHandler* handler) = 0;
    virtual bool unregisterEventHandler(IEventHandler* handler) = 0;
    virtual bool registerTimer(std::uint64_t intervalMs, ITimerHandler* handler) = 0;
    virtual bool unregisterTimer(ITimerHandler* handler) = 0;
};

// Without a run loop the frame's events and timers are handled only when
// the frame's idle is called (a host's idle call).
struct FrameConfig : IPlatformFrameConfig {
    std::shared_ptr<IRunLoop> runLoop;
};

} // namespace VSTGUI::X11
