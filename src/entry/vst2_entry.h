#pragma once
// The VST 2.4 entry: the module's factory presented to a VST 2 host through
// the VST 2 adapter.

#include "pluginterfaces/base/fplatform.h"
#include "sdk/vst2/vst2_abi.h"

namespace tarvel {

// A new factory handed to the adapter with the processor class ID and the
// VST 2 unique ID; the adapter's effect or null.
vst2::AEffect* createVst2Effect(vst2::audioMasterCallback audioMaster);

// What VSTPluginMain does: null, with nothing started, for a host that
// answers 0 to the version query; otherwise one moduleInit and the effect,
// whose closing runs the matching moduleExit.
vst2::AEffect* vst2PluginMain(vst2::audioMasterCallback audioMaster) noexcept;

} // namespace tarvel

extern "C" SMTG_EXPORT_SYMBOL vst2::AEffect* VST2_CALLBACK VSTPluginMain(vst2::audioMasterCallback audioMaster);
