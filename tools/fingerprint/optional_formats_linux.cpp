#include "tools/fingerprint/optional_formats.h"

#include "tools/host/lv2_effect_host.h"

namespace tarvel::fingerprint {

std::unique_ptr<host::EffectHost> lv2EffectHost(const std::string& modulePath)
{
    return std::make_unique<host::Lv2EffectHost>(modulePath);
}

} // namespace tarvel::fingerprint
