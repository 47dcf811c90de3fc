// The functions the host resolves by name in the loaded module.

#include "entry/factory.h"
#include "entry/module_lifetime.h"
#include "sdk/module_entry.h"

bool InitModule()
{
    return tarvel::moduleInit();
}

bool DeinitModule()
{
    return tarvel::moduleExit();
}

extern "C" SMTG_EXPORT_SYMBOL Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory()
{
    try {
        return tarvel::createFactory();
    } catch (...) {
        return nullptr;
    }
}
