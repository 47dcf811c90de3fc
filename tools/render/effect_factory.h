#pragma once
// The EffectHost for a plug-in format named on the command line.

#include <memory>
#include <string>

#include "tools/host/effect_host.h"

namespace tarvel::render {

// Throws std::runtime_error when the module cannot be loaded as that format.
std::unique_ptr<host::EffectHost> createEffectHost(const std::string& format, const std::string& modulePath);

} // namespace tarvel::render
