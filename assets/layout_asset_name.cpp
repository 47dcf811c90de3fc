#include "embedded_assets.h"

#include "foundation/scrambled_text.h"

namespace tarvel {

std::string layoutAssetName() { return VANTLE_TEXT("layout.json"); }

} // namespace tarvel
