// The editor on Linux: hosts pass an X11 window id and offer their run loop
// through the plug-in frame; the window registers with it through this
// adapter.
#include "sdk/vstgui_editor.h"
#include "toolkit/x11/x11_run_loop.h"

#include <map>

namespace Steinberg::Vst {

namespace {

// The host's run loop in the toolkit's terms. Each toolkit handler gets a
// small SDK object the host calls; the adapter keeps the host's loop (and
// those objects) alive until the frame has unregistered.
class RunLoopAdapter final : public VSTGUI::X11::IRunLoop {
public:
    explicit RunLoopAdapter(Linux::IRunLoop* loop) : hostLoop(loop) { hostLoop->addRef(); }
    ~RunLoopAdapter() override
    {
        for (auto& [handler, forwarder] : events)
            hostLoop->unregisterEventHandler(forwarder);
        for (auto& [handler, forwarder] : timers)
            hostLoop->unregisterTimer(forwarder);
        for (auto& [handler, forwarder] : events)
            forwarder->release();
        for (auto& [handler, forwarder] : timers)
            forwarder->release();
        hostLoop->release();
    }

    bool registerEventHandler(int fd, VSTGUI::X11::IEventHandler* handler) override
    {
        return add(events, handler, [&](EventForwarder* f) { return hostLoop->registerEventHandler(f, fd); });
    }
    bool unregisterEventHandler(VSTGUI::X11::IEventHandler* handler) override
    {
        return remove(events, handler, [&](EventForwarder* f) { hostLoop->unregisterEventHandler(f); });
    }
    bool registerTimer(std::uint64_t interval, VSTGUI::X11::ITimerHandler* handler) override
    {
        return add(timers, handler, [&](TimerForwarder* f) { return hostLoop->registerTimer(f, interval); });
    }
    bool unregisterTimer(VSTGUI::X11::ITimerHandler* handler) override
    {
        return remove(timers, handler, [&](TimerForwarder* f) { hostLoop->unregisterTimer(f); });
    }

private:
    class EventForwarder final : public FObject, public Linux::IEventHandler {
    public:
        explicit EventForwarder(VSTGUI::X11::IEventHandler* target) : handler(target) {}
        void PLUGIN_API onFDIsSet(Linux::FileDescriptor) override { handler->onEvent(); }
        OBJ_METHODS(EventForwarder, FObject)
        DEFINE_INTERFACES
            DEF_INTERFACE(Linux::IEventHandler)
        END_DEFINE_INTERFACES(FObject)
        REFCOUNT_METHODS(FObject)
    private:
        VSTGUI::X11::IEventHandler* handler;
    };
    class TimerForwarder final : public FObject, public Linux::ITimerHandler {
    public:
        explicit TimerForwarder(VSTGUI::X11::ITimerHandler* target) : handler(target) {}
        void PLUGIN_API onTimer() override { handler->onTimer(); }
        OBJ_METHODS(TimerForwarder, FObject)
        DEFINE_INTERFACES
            DEF_INTERFACE(Linux::ITimerHandler)
        END_DEFINE_INTERFACES(FObject)
        REFCOUNT_METHODS(FObject)
    private:
        VSTGUI::X11::ITimerHandler* handler;
    };

    // A handler registers once; its forwarder lives until it unregisters.
    template <typename Forwarder, typename Handler, typename Register>
    static bool add(std::map<Handler*, Forwarder*>& registry, Handler* handler, Register registerWithHost)
    {
        if (!handler || registry.count(handler))
            return false;
        auto* forwarder = new Forwarder(handler);
        if (registerWithHost(forwarder) != kResultTrue) {
            forwarder->release();
            return false;
        }
        registry[handler] = forwarder;
        return true;
    }
    template <typename Forwarder, typename Handler, typename Unregister>
    static bool remove(std::map<Handler*, Forwarder*>& registry, Handler* handler, Unregister unregisterWithHost)
    {
        const auto found = registry.find(handler);
        if (found == registry.end())
            return false;
        unregisterWithHost(found->second);
        found->second->release();
        registry.erase(found);
        return true;
    }

    Linux::IRunLoop* hostLoop;
    std::map<VSTGUI::X11::IEventHandler*, EventForwarder*> events;
    std::map<VSTGUI::X11::ITimerHandler*, TimerForwarder*> timers;
};

} // namespace

FIDString EditorPlatform::nativeType() { return kPlatformTypeX11EmbedWindowID; }

std::unique_ptr<VSTGUI::IPlatformFrameConfig> EditorPlatform::frameConfig(IPlugFrame* plugFrame, bool& supported)
{
    supported = false;
    if (!plugFrame)
        return nullptr;
    Linux::IRunLoop* loop = nullptr;
    if (plugFrame->queryInterface(Linux::IRunLoop::iid, reinterpret_cast<void**>(&loop)) != kResultTrue || !loop)
        return nullptr;
    auto config = std::make_unique<VSTGUI::X11::FrameConfig>();
    config->runLoop = std::make_shared<RunLoopAdapter>(loop);
    loop->release(); // the adapter holds its own reference
    supported = true;
    return config;
}

} // namespace Steinberg::Vst
