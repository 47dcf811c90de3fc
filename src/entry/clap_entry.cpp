#include "entry/clap_entry.h"

#include <cstring>
#include <memory>

#include "entry/class_id_fuid.h"
#include "entry/class_ids.h"
#include "entry/factory.h"
#include "entry/module_lifetime.h"
#include "foundation/scrambled_text.h"
#include "pluginterfaces/base/smartpointer.h"
#include "sdk/clap/clap_adapter.h"
#include "sdk/clap/clap_descriptor.h"

namespace tarvel {
namespace {

using namespace clap;

// Between the host's first init and its last deinit: hosts are to call them
// in pairs on their main thread, and some load the module more than once.
std::unique_ptr<Steinberg::Vst::ClapDescriptor> descriptor;
int entries = 0;

Steinberg::TUID& processorTuid()
{
    static Steinberg::TUID id{};
    return id;
}

bool entryInit(const char* /*pluginPath*/)
{
    if (entries > 0) {
        ++entries;
        return true;
    }
    moduleInit();
    try {
        toFuid(processorClassId()).toTUID(processorTuid());
        const Steinberg::IPtr<Steinberg::IPluginFactory> factory = Steinberg::owned(createFactory());
        descriptor = std::make_unique<Steinberg::Vst::ClapDescriptor>(
            *factory, processorTuid(), VANTLE_TEXT("Tarvel"),
            std::vector<std::string>{CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_COMPRESSOR,
                                     CLAP_PLUGIN_FEATURE_STEREO, CLAP_PLUGIN_FEATURE_MONO},
            VANTLE_TEXT("Loudness compressor"));
    } catch (...) {
        descriptor.reset();
        moduleExit();
        return false;
    }
    entries = 1;
    return true;
}

void entryDeinit()
{
    if (entries == 0 || --entries > 0)
        return;
    descriptor.reset();
    moduleExit();
}

std::uint32_t pluginCount(const clap_plugin_factory_t*) { return descriptor ? 1 : 0; }

const clap_plugin_descriptor_t* pluginDescriptor(const clap_plugin_factory_t*, std::uint32_t index)
{
    return descriptor && index == 0 ? &descriptor->record() : nullptr;
}

const clap_plugin_t* createPlugin(const clap_plugin_factory_t*, const clap_host_t* host, const char* pluginId)
{
    if (!descriptor || !pluginId || std::strcmp(pluginId, descriptor->record().id) != 0)
        return nullptr;
    try {
        return Steinberg::Vst::ClapAdapter::create(createFactory(), processorTuid(), &descriptor->record(), host);
    } catch (...) {
        return nullptr;
    }
}

const clap_plugin_factory_t pluginFactory = {pluginCount, pluginDescriptor, createPlugin};

const void* entryFactory(const char* factoryId)
{
    if (entries == 0 || !factoryId || std::strcmp(factoryId, CLAP_PLUGIN_FACTORY_ID) != 0)
        return nullptr;
    return &pluginFactory;
}

} // namespace
} // namespace tarvel

const clap::clap_plugin_entry_t clap_entry = {clap::CLAP_VERSION, tarvel::entryInit, tarvel::entryDeinit,
                                              tarvel::entryFactory};
