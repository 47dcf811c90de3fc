// The Linux names of the module's load and unload pair.

#include "sdk/module_entry.h"

extern "C" {

bool ModuleEntry(void* sharedLibraryHandle)
{
    moduleHandle = sharedLibraryHandle;
    return InitModule();
}

bool ModuleExit()
{
    return DeinitModule();
}

} // extern "C"
