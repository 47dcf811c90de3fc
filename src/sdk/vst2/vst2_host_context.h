#pragma once
// The host context the adapter hands to both components' initialize: the
// host's name as the VST 2 host states it, and message and attribute-list
// objects for the processor and controller to talk through.

#include "pluginterfaces/vst/ivsthostapplication.h"
#include "sdk/vst2/vst2_abi.h"

namespace Steinberg::Vst {

class Vst2HostContext final : public IHostApplication {
public:
    // The host is asked about the effect only once the record is complete
    // (its object set): some hosts cannot answer for an effect they have not
    // been handed yet.
    Vst2HostContext(vst2::audioMasterCallback audioMaster, vst2::AEffect& effect);
    virtual ~Vst2HostContext() = default;

    tresult PLUGIN_API getName(String128 name) override;
    tresult PLUGIN_API createInstance(TUID cid, TUID interfaceIid, void** object) override;

    DECLARE_FUNKNOWN_METHODS

private:
    vst2::audioMasterCallback audioMaster;
    vst2::AEffect& effect;
};

} // namespace Steinberg::Vst
