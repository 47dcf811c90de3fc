#pragma once
// A Linux DAW's run loop as plug-in editors see it: descriptors polled for
// reading, repeating timers, all on the calling thread. Like some hosts, it
// can also call every event handler when nothing is readable.

#include "pluginterfaces/gui/iplugview.h"
#include "tools/host/host_object.h"

#include <chrono>
#include <functional>
#include <vector>

namespace tarvel::host {

class RunLoop final : public HostObject<Steinberg::Linux::IRunLoop> {
public:
    ~RunLoop() override;

    // Dispatches for the given time; returns early once done() is true.
    void run(std::chrono::milliseconds duration, const std::function<bool()>& done = {});
    // Calls handlers even when their descriptor is not readable.
    bool spuriousEvents = false;

    std::size_t eventHandlerCount() const { return handlers.size(); }
    std::size_t timerCount() const { return timers.size(); }
    // Time spent inside timer callbacks (on the clock and on the
    // processor), and how many there were.
    std::chrono::nanoseconds timerTime{0};
    std::chrono::nanoseconds timerCpuTime{0};
    std::size_t timerCalls = 0;

    Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                       Steinberg::Linux::FileDescriptor fd) override;
    Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
    Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                                Steinberg::Linux::TimerInterval milliseconds) override;
    Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;

private:
    using Clock = std::chrono::steady_clock;
    struct EventEntry {
        Steinberg::Linux::IEventHandler* handler;
        int fd;
    };
    struct TimerEntry {
        Steinberg::Linux::ITimerHandler* handler;
        std::chrono::milliseconds interval;
        Clock::time_point due;
    };
    bool isRegistered(const Steinberg::Linux::IEventHandler* handler) const;
    bool isRegistered(const Steinberg::Linux::ITimerHandler* handler) const;

    std::vector<EventEntry> handlers;
    std::vector<TimerEntry> timers;
};

} // namespace tarvel::host
