#include "sdk/module_entry.h"

void* moduleHandle = nullptr;

extern "C" {

bool InitDll()
{
    return InitModule();
}

bool ExitDll()
{
    return DeinitModule();
}

} // extern "C"
