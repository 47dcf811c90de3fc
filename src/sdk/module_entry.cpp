#include "sdk/module_entry.h"

void* moduleHandle = nullptr;
std::string moduleFolder;

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
