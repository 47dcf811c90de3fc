#include "tools/fingerprint/optional_formats.h"

namespace tarvel::fingerprint {

std::unique_ptr<host::EffectHost> lv2EffectHost(const std::string&) { return nullptr; }

} // namespace tarvel::fingerprint
