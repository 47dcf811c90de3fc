#include "tools/host/module_library.h"

#include <stdexcept>

#include "pluginterfaces/base/ipluginbase.h"

namespace tarvel::host {

using GetFactoryFunction = Steinberg::IPluginFactory* (PLUGIN_API*)();

PluginModule::PluginModule(const std::string& path)
    : modulePath(path), library(SharedLibrary::open(path))
{
    if (!library->symbol("GetPluginFactory"))
        throw std::runtime_error(path + ": not a VST 3 module (no GetPluginFactory)");
    if (!library->enterModule())
        throw std::runtime_error(path + ": the module's load function failed");
    entered = true;
}

PluginModule::~PluginModule()
{
    if (entered)
        library->exitModule();
}

Steinberg::IPluginFactory* PluginModule::createFactory() const
{
    auto getFactory = reinterpret_cast<GetFactoryFunction>(library->symbol("GetPluginFactory"));
    return getFactory();
}

} // namespace tarvel::host
