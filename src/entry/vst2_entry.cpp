#include "entry/vst2_entry.h"

#include "entry/class_id_fuid.h"
#include "entry/factory.h"
#include "entry/module_lifetime.h"
#include "sdk/vst2/vst2_wrapper.h"

namespace tarvel {

vst2::AEffect* createVst2Effect(vst2::audioMasterCallback audioMaster)
{
    // Derived before the factory exists, so nothing can throw while the
    // factory reference is still ours.
    const std::int32_t uniqueId = vst2UniqueId();
    Steinberg::TUID classId;
    toFuid(processorClassId()).toTUID(classId);
    return Steinberg::Vst::Vst2Wrapper::create(createFactory(), classId, uniqueId, audioMaster);
}

vst2::AEffect* vst2PluginMain(vst2::audioMasterCallback audioMaster) noexcept
{
    if (!audioMaster)
        return nullptr;
    try {
        if (audioMaster(nullptr, vst2::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
            return nullptr;
    } catch (...) {
        return nullptr;
    }
    moduleInit();
    vst2::AEffect* effect = nullptr;
    try {
        effect = createVst2Effect(audioMaster);
    } catch (...) {
    }
    // Without an effect there is no effClose to drop the reference.
    if (!effect)
        moduleExit();
    return effect;
}

} // namespace tarvel

extern "C" vst2::AEffect* VST2_CALLBACK VSTPluginMain(vst2::audioMasterCallback audioMaster)
{
    return tarvel::vst2PluginMain(audioMaster);
}
