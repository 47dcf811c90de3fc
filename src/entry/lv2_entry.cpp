// The LV2 entry: the module's factory presented to an LV2 host through the
// LV2 adapter, one descriptor per plug-in of lv2Plugins().

#include <lv2/core/lv2.h>

#include <memory>

#include "entry/class_id_fuid.h"
#include "entry/factory.h"
#include "entry/lv2_description.h"
#include "entry/module_lifetime.h"
#include "sdk/lv2/lv2_instance.h"

namespace tarvel {
namespace {

using Steinberg::Vst::Lv2Instance;

Lv2Instance* instanceOf(LV2_Handle handle) { return static_cast<Lv2Instance*>(handle); }

template <std::size_t Index>
LV2_Handle instantiate(const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const*)
{
    moduleInit();
    std::unique_ptr<Lv2Instance> instance;
    try {
        Steinberg::TUID classId;
        toFuid(processorClassId()).toTUID(classId);
        instance = Lv2Instance::create(lv2Plugins()[Index], createFactory(), classId, sampleRate);
    } catch (...) {
    }
    // Without an instance there is no cleanup to drop the reference.
    if (!instance)
        moduleExit();
    return instance.release();
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) { instanceOf(handle)->connectPort(port, data); }

void activate(LV2_Handle handle)
{
    try {
        instanceOf(handle)->activate();
    } catch (...) {
    }
}

void run(LV2_Handle handle, uint32_t frames) { instanceOf(handle)->run(frames); }

void deactivate(LV2_Handle handle)
{
    try {
        instanceOf(handle)->deactivate();
    } catch (...) {
    }
}

void cleanup(LV2_Handle handle)
{
    delete instanceOf(handle);
    moduleExit();
}

const void* extensionData(const char*) { return nullptr; }

template <std::size_t Index>
const LV2_Descriptor* descriptor()
{
    static const LV2_Descriptor record{lv2Plugins()[Index].uri.c_str(), instantiate<Index>, connectPort, activate,
                                       run, deactivate, cleanup, extensionData};
    return &record;
}

} // namespace
} // namespace tarvel

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    try {
        switch (index) {
        case 0: return tarvel::descriptor<0>();
        case 1: return tarvel::descriptor<1>();
        default: return nullptr;
        }
    } catch (...) {
        return nullptr;
    }
}
