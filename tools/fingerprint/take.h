#pragma once

#include <string>

#include "tools/fingerprint/fingerprint.h"

namespace tarvel::fingerprint {

// Loads the module through its factory and renders the fixed programme:
// a deterministic signal with loud and quiet passages, through VST 3 in
// 32-bit and in 64-bit processing and through the VST 2 entry, with
// automation of every parameter including a Speed change that restarts
// processing for the new latency.
Fingerprint take(const std::string& modulePath);

} // namespace tarvel::fingerprint
