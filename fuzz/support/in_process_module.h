#pragma once
// The plug-in module linked into the fuzzer's executable, reached only
// through the functions a host resolves in the module file. The module is
// entered once for the whole process, the way a host keeps a loaded module
// entered while it creates and destroys instances.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

namespace tarvel::fuzz {

using Bytes = std::vector<std::uint8_t>;

// ModuleEntry, once; later calls do nothing.
void enterModule();

// A check that failed: prints what and aborts, which libFuzzer reports as a
// crash and saves the input for.
[[noreturn]] void fail(const char* what);
inline void require(bool condition, const char* what)
{
    if (!condition)
        fail(what);
}

// Fails, showing both, unless the two byte strings are equal.
void requireSame(const Bytes& expected, const Bytes& actual, const char* what);

template <typename Sample>
bool allFinite(const Sample* samples, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(samples[i]))
            return false;
    return true;
}

// A processor and its controller from GetPluginFactory's factory, found and
// created as a VST 3 host does (the first audio-effect class, then the
// controller class it names), each initialised with a host context.
class Vst3Plugin {
public:
    Vst3Plugin();
    ~Vst3Plugin();
    Vst3Plugin(const Vst3Plugin&) = delete;
    Vst3Plugin& operator=(const Vst3Plugin&) = delete;

    Steinberg::Vst::IComponent& component() const { return *componentPart; }
    Steinberg::Vst::IAudioProcessor& processor() const { return *processorPart; }
    // Created on first use.
    Steinberg::Vst::IEditController& controller();

    // getState of either side into bytes; false if it fails.
    bool processorState(Bytes& bytes) const;
    bool controllerState(Bytes& bytes);
    // setState and setComponentState from bytes.
    Steinberg::tresult loadProcessorState(const Bytes& bytes) const;
    Steinberg::tresult loadControllerState(const Bytes& bytes);
    Steinberg::tresult loadComponentState(const Bytes& bytes);

private:
    Steinberg::Vst::HostApplication host;
    Steinberg::IPtr<Steinberg::IPluginFactory> factory;
    Steinberg::IPtr<Steinberg::Vst::IComponent> componentPart;
    Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> processorPart;
    Steinberg::IPtr<Steinberg::Vst::IEditController> controllerPart;
};

} // namespace tarvel::fuzz
