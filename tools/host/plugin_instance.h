#pragma once
// A processor and its controller created from a module's factory, set up
// the way VST 3 hosts do it: both initialised with the host context, the
// controller given a component handler and the processor's state, the two
// connected through host proxies. The raw interfaces stay reachable so
// tests can replay any call sequence a host makes.

#include <cstdint>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "tools/host/component_handler.h"
#include "tools/host/connection_proxy.h"
#include "tools/host/module_library.h"

#include <memory>

namespace tarvel::host {

using Bytes = std::vector<std::uint8_t>;

class PluginInstance {
public:
    struct Options {
        // Some hosts never give the controller a component handler.
        bool withComponentHandler = true;
        // Some hosts never connect the two components.
        bool connected = true;
    };

    // Throws std::runtime_error when the factory has no audio-effect class,
    // or creating or initialising either component fails.
    explicit PluginInstance(const PluginModule& module);
    PluginInstance(const PluginModule& module, Options options);
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    Steinberg::Vst::IComponent* component() const { return componentPart.get(); }
    Steinberg::Vst::IAudioProcessor* processor() const { return processorPart.get(); }
    Steinberg::Vst::IEditController* controller() const { return controllerPart.get(); }
    ComponentHandler& handler() const { return *componentHandler; }
    Steinberg::Vst::IHostApplication* hostContext() const { return host.get(); }

    // Messages the processor sent (passed on to the controller) and those the
    // controller sent (passed on to the processor); null when not connected.
    ConnectionProxy* fromProcessor() const { return processorOutbox.get(); }
    ConnectionProxy* fromController() const { return controllerOutbox.get(); }

    // Builds a message through the host context, as a component would.
    Steinberg::IPtr<Steinberg::Vst::IMessage> makeMessage(const char* id) const;

    // getState of either side; throws std::runtime_error if it fails.
    Bytes processorState() const;
    Bytes controllerState() const;
    // The component's setState followed by the controller's
    // setComponentState, as hosts restore a project; the result of the
    // component's setState (the controller is told only if it succeeded).
    Steinberg::tresult restoreProcessorState(const Bytes& bytes) const;
    Steinberg::tresult restoreControllerState(const Bytes& bytes) const;

    // Bus arrangements (1: mono, 2: stereo, 6: 5.1 on both sides),
    // setupProcessing, setActive(true), setProcessing(true).
    // Returns the first failing call's result, else kResultOk.
    Steinberg::tresult start(const Steinberg::Vst::ProcessSetup& setup, Steinberg::int32 channels);
    // setProcessing(false), setActive(false), if started.
    void stop();
    bool started() const { return running; }

private:
    // The SDK's host context does not count references (its release never
    // deletes it): the instance owns it outright and outlives both parts.
    std::unique_ptr<Steinberg::Vst::HostApplication> host;
    Steinberg::IPtr<ComponentHandler> componentHandler;
    Steinberg::IPtr<Steinberg::Vst::IComponent> componentPart;
    Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> processorPart;
    Steinberg::IPtr<Steinberg::Vst::IEditController> controllerPart;
    Steinberg::IPtr<ConnectionProxy> processorOutbox;
    Steinberg::IPtr<ConnectionProxy> controllerOutbox;
    bool running = false;
};

} // namespace tarvel::host
