#pragma once
// The module's class factory: the factory information, the two class
// descriptions and their create functions.

#include "pluginterfaces/base/ipluginbase.h"
#include "sdk/plugin_factory.h"

namespace tarvel {

// A new factory with reference count 1, owned by the caller.
Steinberg::CPluginFactory* createFactory();

// The factory's create functions; the context is ignored. A constructor's
// exception leaves them after the memory has been released.
Steinberg::FUnknown* createProcessorInstance(void* context);
Steinberg::FUnknown* createControllerInstance(void* context);

} // namespace tarvel
