#include "framework/asset_registry.h"

#include "foundation/scrambled_text.h"

namespace vantle::vst {

std::vector<std::uint8_t> assetBytes(const AssetRegistry& registry, const std::string& name)
{
    const auto found = registry.all().find(name);
    if (found == registry.all().end() || !found->second.data || found->second.size <= 0)
        return {};
    return decodeAsset(found->second.data, static_cast<std::size_t>(found->second.size));
}

std::string assetText(const AssetRegistry& registry, const std::string& name)
{
    const std::vector<std::uint8_t> bytes = assetBytes(registry, name);
    return {bytes.begin(), bytes.end()};
}

} // namespace vantle::vst
