#pragma once
// The host context the CLAP adapter hands to both components' initialize:
// the host's name as the CLAP host states it, and message and attribute-list
// objects for the processor and controller to talk through.

#include "pluginterfaces/vst/ivsthostapplication.h"
#include "sdk/clap/clap_abi.h"

namespace Steinberg::Vst {

class ClapHostContext final : public IHostApplication {
public:
    explicit ClapHostContext(const clap::clap_host_t* host);
    virtual ~ClapHostContext() = default;

    tresult PLUGIN_API getName(String128 name) override;
    tresult PLUGIN_API createInstance(TUID cid, TUID interfaceIid, void** object) override;

    DECLARE_FUNKNOWN_METHODS

private:
    const clap::clap_host_t* host;
};

} // namespace Steinberg::Vst
