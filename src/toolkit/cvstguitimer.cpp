#include "toolkit/cvstguitimer.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace VSTGUI {

namespace {
// User-interface thread only, like everything in the toolkit.
std::vector<CVSTGUITimer*>& runningTimers()
{
    static std::vector<CVSTGUITimer*> timers;
    return timers;
}

bool isRunningTimer(const CVSTGUITimer* timer)
{
    const auto& timers = runningTimers();
    return std::find(timers.begin(), timers.end(), timer) != timers.end();
}
} // namespace

CVSTGUITimer::CVSTGUITimer(CBaseObject* timerObject, std::uint32_t interval, bool doStart)
    : target(timerObject), fireTime(interval)
{
    if (doStart)
        start();
}

CVSTGUITimer::CVSTGUITimer(CallbackFunc function, std::uint32_t interval, bool doStart)
    : callback(std::move(function)), fireTime(interval)
{
    if (doStart)
        start();
}

CVSTGUITimer::~CVSTGUITimer() { stop(); }

bool CVSTGUITimer::start()
{
    due = now() + std::max<std::uint32_t>(fireTime, 1);
    if (!running) {
        running = true;
        runningTimers().push_back(this);
    }
    return true;
}

bool CVSTGUITimer::stop()
{
    if (!running)
        return false;
    running = false;
    auto& timers = runningTimers();
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
    return true;
}

bool CVSTGUITimer::setFireTime(std::uint32_t newFireTime)
{
    fireTime = newFireTime;
    if (running)
        start();
    return true;
}

std::uint64_t CVSTGUITimer::now()
{
    using namespace std::chrono;
    return std::uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CVSTGUITimer::fire()
{
    if (callback)
        callback(this);
    else if (target)
        target->notify(this, kMsgTimer);
}

std::int64_t CVSTGUITimer::fireDueTimers(std::uint64_t nowMs)
{
    // Callbacks may change the set, so walk a copy and check each is still
    // running before firing it.
    const std::vector<CVSTGUITimer*> snapshot = runningTimers();
    for (CVSTGUITimer* timer : snapshot)
        if (isRunningTimer(timer) && timer->due <= nowMs) {
            // A late caller fires once, not once per missed interval.
            timer->due = nowMs + std::max<std::uint32_t>(timer->fireTime, 1);
            timer->fire();
        }
    std::int64_t wait = -1;
    for (const CVSTGUITimer* timer : runningTimers()) {
        const std::int64_t left = timer->due > nowMs ? std::int64_t(timer->due - nowMs) : 0;
        wait = wait < 0 ? left : std::min(wait, left);
    }
    return wait;
}

int CVSTGUITimer::runningTimerCount() { return int(runningTimers().size()); }

} // namespace VSTGUI
