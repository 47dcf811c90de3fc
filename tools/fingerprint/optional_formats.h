#pragma once
// The formats the digest covers where the platform has them: LV2 exists on
// Linux only.

#include <memory>
#include <string>

#include "tools/host/effect_host.h"

namespace tarvel::fingerprint {

// The LV2 plug-in beside the module, or null where LV2 is not built.
std::unique_ptr<host::EffectHost> lv2EffectHost(const std::string& modulePath);

} // namespace tarvel::fingerprint
