// VST 2 hosts on Linux call effEditIdle instead of offering a run loop; the
// view gets a run loop of the adapter's own that each idle call runs: every
// event handler (they never block when nothing is pending) and every timer
// whose interval has passed.
#include "sdk/vst2/vst2_editor_platform.h"

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace Steinberg::Vst {

namespace {

class IdleRunLoop final : public FObject, public Linux::IRunLoop {
public:
    ~IdleRunLoop() override
    {
        for (auto& [handler, fd] : events)
            handler->release();
        for (Timer& timer : timers)
            timer.handler->release();
    }

    tresult PLUGIN_API registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd) override
    {
        if (!handler)
            return kInvalidArgument;
        handler->addRef();
        events.emplace_back(handler, fd);
        return kResultTrue;
    }
    tresult PLUGIN_API unregisterEventHandler(Linux::IEventHandler* handler) override
    {
        const auto found = std::find_if(events.begin(), events.end(), [&](const auto& e) { return e.first == handler; });
        if (found == events.end())
            return kInvalidArgument;
        events.erase(found);
        handler->release();
        return kResultTrue;
    }
    tresult PLUGIN_API registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval milliseconds) override
    {
        if (!handler || milliseconds == 0)
            return kInvalidArgument;
        handler->addRef();
        timers.push_back({handler, std::chrono::milliseconds(milliseconds), Clock::now()});
        return kResultTrue;
    }
    tresult PLUGIN_API unregisterTimer(Linux::ITimerHandler* handler) override
    {
        const auto found = std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.handler == handler; });
        if (found == timers.end())
            return kInvalidArgument;
        timers.erase(found);
        handler->release();
        return kResultTrue;
    }

    void run()
    {
        // Handlers may unregister while called: work on copies, check each.
        const auto eventsNow = events;
        for (const auto& [handler, fd] : eventsNow)
            if (std::any_of(events.begin(), events.end(), [&](const auto& e) { return e.first == handler; }))
                handler->onFDIsSet(fd);
        const Clock::time_point now = Clock::now();
        std::vector<Linux::ITimerHandler*> due;
        for (Timer& timer : timers)
            if (now - timer.last >= timer.interval) {
                timer.last = now;
                due.push_back(timer.handler);
            }
        for (Linux::ITimerHandler* handler : due)
            if (std::any_of(timers.begin(), timers.end(), [&](const Timer& t) { return t.handler == handler; }))
                handler->onTimer();
    }

    OBJ_METHODS(IdleRunLoop, FObject)
    DEFINE_INTERFACES
        DEF_INTERFACE(Linux::IRunLoop)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        Linux::ITimerHandler* handler;
        std::chrono::milliseconds interval;
        Clock::time_point last;
    };
    std::vector<std::pair<Linux::IEventHandler*, Linux::FileDescriptor>> events;
    std::vector<Timer> timers;
};

class LinuxPlatform final : public Vst2EditorPlatform {
public:
    LinuxPlatform() : loop(owned(new IdleRunLoop)) {}
    FIDString windowType() const override { return kPlatformTypeX11EmbedWindowID; }
    FUnknown* frameServices() override { return static_cast<Linux::IRunLoop*>(loop.get()); }
    void idle() override { loop->run(); }

private:
    IPtr<IdleRunLoop> loop;
};

} // namespace

std::unique_ptr<Vst2EditorPlatform> makeVst2EditorPlatform() { return std::make_unique<LinuxPlatform>(); }

} // namespace Steinberg::Vst
