#pragma once
// What a VST 2 host learns about the effect, taken from the factory's texts
// for the processor class.

#include <string>
#include <string_view>

#include "pluginterfaces/base/ipluginbase.h"
#include "sdk/vst2/vst2_abi.h"

namespace Steinberg::Vst {

struct Vst2Identity {
    std::string effectName;
    std::string productName;
    std::string vendor;
    vst2::VstInt32 vendorVersion = 0;
    vst2::VstPlugCategory category = vst2::kPlugCategUnknown;
    bool isInstrument = false;
};

// The class's own texts, with the factory's vendor when the class names none.
// False if the factory does not describe the class.
bool readVst2Identity(IPluginFactory& factory, const TUID processorClass, Vst2Identity& identity);

// Up to four dot-separated integers a.b.c.d as a*1000 + b*100 + c*10 + d,
// the VST 2 convention (1.1.0.0 is 1100). Reading stops at the first part
// that is not a number; missing parts count as 0.
vst2::VstInt32 vst2VersionFromText(std::string_view text) noexcept;

// The VST 2 category a VST 3 sub-category text ("Fx|Dynamics") stands for.
vst2::VstPlugCategory vst2CategoryFromSubCategories(std::string_view subCategories) noexcept;

} // namespace Steinberg::Vst
