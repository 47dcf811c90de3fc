#include "tools/render/effect_factory.h"

#include <stdexcept>

#include "tools/host/clap_effect_host.h"
#include "tools/host/lv2_effect_host.h"
#include "tools/host/vst2_effect_host.h"
#include "tools/host/vst3_effect_host.h"

namespace tarvel::render {

std::unique_ptr<host::EffectHost> createEffectHost(const std::string& format, const std::string& modulePath)
{
    if (format == "vst3")
        return std::make_unique<host::Vst3EffectHost>(modulePath);
    if (format == "vst2")
        return std::make_unique<host::Vst2EffectHost>(modulePath);
    if (format == "clap")
        return std::make_unique<host::ClapEffectHost>(modulePath);
    if (format == "lv2")
        return std::make_unique<host::Lv2EffectHost>(modulePath);
    throw std::runtime_error("unknown plug-in format '" + format + "'");
}

} // namespace tarvel::render
