// A CLAP host on Linux runs the plug-in's timers and watches its descriptors
// through timer-support and posix-fd-support; the view gets a run loop that
// registers with those and is called back through the plug-in's on_timer
// and on_fd.
#include "sdk/clap/clap_editor_platform.h"

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace Steinberg::Vst {

namespace {

using namespace clap;

class HostRunLoop final : public FObject, public Linux::IRunLoop {
public:
    HostRunLoop(const clap_host_t* clapHost, const clap_host_timer_support_t& timerSupport,
                const clap_host_posix_fd_support_t& fdSupport)
        : host(clapHost), timers(timerSupport), fds(fdSupport)
    {
    }

    // Whatever the view left registered goes back to the host.
    void unregisterAll()
    {
        for (const Event& event : events) {
            fds.unregister_fd(host, event.fd);
            event.handler->release();
        }
        events.clear();
        for (const Timer& timer : timerHandlers) {
            timers.unregister_timer(host, timer.id);
            timer.handler->release();
        }
        timerHandlers.clear();
    }

    tresult PLUGIN_API registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd) override
    {
        if (!handler || !fds.register_fd(host, fd, CLAP_POSIX_FD_READ))
            return kInvalidArgument;
        handler->addRef();
        events.push_back({handler, fd});
        return kResultTrue;
    }
    tresult PLUGIN_API unregisterEventHandler(Linux::IEventHandler* handler) override
    {
        const auto found = std::find_if(events.begin(), events.end(), [&](const Event& e) { return e.handler == handler; });
        if (found == events.end())
            return kInvalidArgument;
        fds.unregister_fd(host, found->fd);
        events.erase(found);
        handler->release();
        return kResultTrue;
    }
    tresult PLUGIN_API registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval milliseconds) override
    {
        clap_id id = CLAP_INVALID_ID;
        if (!handler || milliseconds == 0 ||
            !timers.register_timer(host, static_cast<std::uint32_t>(milliseconds), &id))
            return kInvalidArgument;
        handler->addRef();
        timerHandlers.push_back({handler, id});
        return kResultTrue;
    }
    tresult PLUGIN_API unregisterTimer(Linux::ITimerHandler* handler) override
    {
        const auto found =
            std::find_if(timerHandlers.begin(), timerHandlers.end(), [&](const Timer& t) { return t.handler == handler; });
        if (found == timerHandlers.end())
            return kInvalidArgument;
        timers.unregister_timer(host, found->id);
        timerHandlers.erase(found);
        handler->release();
        return kResultTrue;
    }

    bool onTimer(clap_id id)
    {
        const auto found = std::find_if(timerHandlers.begin(), timerHandlers.end(), [&](const Timer& t) { return t.id == id; });
        if (found == timerHandlers.end())
            return false;
        // The handler may unregister itself while called.
        IPtr<Linux::ITimerHandler> handler = found->handler;
        handler->onTimer();
        return true;
    }

    void onFd(int fd)
    {
        const auto found = std::find_if(events.begin(), events.end(), [&](const Event& e) { return e.fd == fd; });
        if (found == events.end())
            return;
        IPtr<Linux::IEventHandler> handler = found->handler;
        handler->onFDIsSet(fd);
    }

    OBJ_METHODS(HostRunLoop, FObject)
    DEFINE_INTERFACES
        DEF_INTERFACE(Linux::IRunLoop)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    struct Event {
        Linux::IEventHandler* handler;
        int fd;
    };
    struct Timer {
        Linux::ITimerHandler* handler;
        clap_id id;
    };
    const clap_host_t* host;
    const clap_host_timer_support_t& timers;
    const clap_host_posix_fd_support_t& fds;
    std::vector<Event> events;
    std::vector<Timer> timerHandlers;
};

class LinuxPlatform final : public ClapEditorPlatform {
public:
    LinuxPlatform(const clap_host_t* host, const clap_host_timer_support_t& timers,
                  const clap_host_posix_fd_support_t& fds)
        : loop(owned(new HostRunLoop(host, timers, fds)))
    {
    }
    ~LinuxPlatform() override { loop->unregisterAll(); }

    const char* windowApi() const override { return CLAP_WINDOW_API_X11; }
    FIDString windowType() const override { return kPlatformTypeX11EmbedWindowID; }
    void* parentHandle(const clap_window_t& window) const override
    {
        return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window.x11));
    }
    FUnknown* frameServices() override { return static_cast<Linux::IRunLoop*>(loop.get()); }
    bool onTimer(clap_id timer) override { return loop->onTimer(timer); }
    void onFd(int fd, std::uint32_t) override { loop->onFd(fd); }

private:
    IPtr<HostRunLoop> loop;
};

template <typename Extension>
const Extension* hostExtension(const clap_host_t* host, const char* id)
{
    if (!host || !host->get_extension)
        return nullptr;
    return static_cast<const Extension*>(host->get_extension(host, id));
}

} // namespace

std::unique_ptr<ClapEditorPlatform> makeClapEditorPlatform(const clap_host_t* host)
{
    const auto* timers = hostExtension<clap_host_timer_support_t>(host, CLAP_EXT_TIMER_SUPPORT);
    const auto* fds = hostExtension<clap_host_posix_fd_support_t>(host, CLAP_EXT_POSIX_FD_SUPPORT);
    if (!timers || !timers->register_timer || !timers->unregister_timer || !fds || !fds->register_fd ||
        !fds->unregister_fd)
        return nullptr;
    return std::make_unique<LinuxPlatform>(host, *timers, *fds);
}

} // namespace Steinberg::Vst
