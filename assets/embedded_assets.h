#pragma once
// The registries generated from assets/ at build time.

#include "framework/asset_registry.h"

#include <string>

namespace tarvel {

// The layout document, fonts, the knob face and the fallback image.
const vantle::vst::AssetRegistry& uiAssets();
// The manual's files, by relative path.
const vantle::vst::AssetRegistry& manualAssets();

// The layout document's asset name.
std::string layoutAssetName();

} // namespace tarvel
