#pragma once
// Stand-in for the SDK's module entry (public.sdk/source/main/dllmain.cpp and
// linuxmain.cpp): the exported functions a host calls when it loads and
// unloads the module. The plug-in supplies InitModule and DeinitModule; the
// entry points only forward to them, once per call, because the plug-in's
// own resources keep their own reference counts.
//
// The VST 2.4 entry (VSTPluginMain and main) is the plug-in's own; it hands
// the factory to the VST 2 adapter in vst2/, whose effect calls DeinitModule
// when the host closes it.

#include <string>

#include "pluginterfaces/base/fplatform.h"

// Provided by the plug-in.
bool InitModule();
bool DeinitModule();

// The handle the host loaded the module under, when the entry point it called
// passes one (ModuleEntry on Linux); null otherwise.
extern void* moduleHandle;

// The folder the module file lies in, in UTF-8 and ending with the path
// separator, where the loader reports it (DllMain on Windows); empty
// otherwise.
extern std::string moduleFolder;

extern "C" {
SMTG_EXPORT_SYMBOL bool InitDll();
SMTG_EXPORT_SYMBOL bool ExitDll();
#if SMTG_OS_LINUX
SMTG_EXPORT_SYMBOL bool ModuleEntry(void* sharedLibraryHandle);
SMTG_EXPORT_SYMBOL bool ModuleExit();
#endif
}
