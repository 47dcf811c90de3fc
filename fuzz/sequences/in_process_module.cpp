#include "in_process_module.h"

namespace tarvel::fuzz {

host::PluginModule& inProcessModule()
{
    static host::PluginModule module("");
    return module;
}

} // namespace tarvel::fuzz
