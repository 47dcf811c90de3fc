#include "tools/host/platform/linux_run_loop.h"

#include <algorithm>
#include <poll.h>
#include <time.h>

namespace tarvel::host {

using namespace Steinberg;

namespace {

// The processor time this thread has used.
std::chrono::nanoseconds threadTime()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

} // namespace

RunLoop::~RunLoop()
{
    for (EventEntry& entry : handlers)
        entry.handler->release();
    for (TimerEntry& entry : timers)
        entry.handler->release();
}

bool RunLoop::isRegistered(const Linux::IEventHandler* handler) const
{
    return std::any_of(handlers.begin(), handlers.end(), [&](const EventEntry& e) { return e.handler == handler; });
}

bool RunLoop::isRegistered(const Linux::ITimerHandler* handler) const
{
    return std::any_of(timers.begin(), timers.end(), [&](const TimerEntry& e) { return e.handler == handler; });
}

tresult PLUGIN_API RunLoop::registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd)
{
    if (!handler || isRegistered(handler))
        return kInvalidArgument;
    handler->addRef();
    handlers.push_back({handler, fd});
    return kResultTrue;
}

tresult PLUGIN_API RunLoop::unregisterEventHandler(Linux::IEventHandler* handler)
{
    const auto found = std::find_if(handlers.begin(), handlers.end(), [&](const EventEntry& e) { return e.handler == handler; });
    if (found == handlers.end())
        return kInvalidArgument;
    Linux::IEventHandler* gone = found->handler;
    handlers.erase(found);
    gone->release();
    return kResultTrue;
}

tresult PLUGIN_API RunLoop::registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval milliseconds)
{
    if (!handler || milliseconds == 0 || isRegistered(handler))
        return kInvalidArgument;
    handler->addRef();
    const std::chrono::milliseconds interval(milliseconds);
    timers.push_back({handler, interval, Clock::now() + interval});
    return kResultTrue;
}

tresult PLUGIN_API RunLoop::unregisterTimer(Linux::ITimerHandler* handler)
{
    const auto found = std::find_if(timers.begin(), timers.end(), [&](const TimerEntry& e) { return e.handler == handler; });
    if (found == timers.end())
        return kInvalidArgument;
    Linux::ITimerHandler* gone = found->handler;
    timers.erase(found);
    gone->release();
    return kResultTrue;
}

void RunLoop::run(std::chrono::milliseconds duration, const std::function<bool()>& done)
{
    const Clock::time_point end = Clock::now() + duration;
    while (Clock::now() < end && !(done && done())) {
        Clock::time_point wake = end;
        for (const TimerEntry& timer : timers)
            wake = std::min(wake, timer.due);
        // Rounded up: a wait truncated to 0 would spin until the timer is due.
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - Clock::now()).count();
        std::vector<pollfd> descriptors;
        for (const EventEntry& entry : handlers)
            descriptors.push_back({entry.fd, POLLIN, 0});
        poll(descriptors.data(), descriptors.size(), int(std::max<long long>(0, wait)));

        // Handlers may unregister themselves or others while called.
        const std::vector<EventEntry> snapshot = handlers;
        for (std::size_t i = 0; i < snapshot.size(); ++i)
            if ((spuriousEvents || (descriptors[i].revents & POLLIN)) && isRegistered(snapshot[i].handler))
                snapshot[i].handler->onFDIsSet(snapshot[i].fd);
        const Clock::time_point now = Clock::now();
        std::vector<Linux::ITimerHandler*> due;
        for (TimerEntry& timer : timers)
            if (timer.due <= now) {
                due.push_back(timer.handler);
                timer.due = now + timer.interval;
            }
        for (Linux::ITimerHandler* handler : due)
            if (isRegistered(handler)) {
                const Clock::time_point start = Clock::now();
                const std::chrono::nanoseconds cpuStart = threadTime();
                handler->onTimer();
                timerTime += Clock::now() - start;
                timerCpuTime += threadTime() - cpuStart;
                ++timerCalls;
            }
    }
}

} // namespace tarvel::host
