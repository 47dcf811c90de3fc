#pragma once
// Name-keyed registries of the scrambled blobs compiled into the library.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vantle::vst {

struct AssetEntry {
    const std::uint8_t* data = nullptr; // static storage, never freed
    std::int32_t size = 0;
};

class AssetRegistry {
public:
    // Registering a name again replaces its entry.
    void add(const std::string& name, const std::uint8_t* data, std::int32_t size) { entries[name] = {data, size}; }
    const std::map<std::string, AssetEntry>& all() const { return entries; }

private:
    std::map<std::string, AssetEntry> entries;
};

// The plain bytes of a registered blob, unscrambled anew on every call;
// empty for an unknown name.
std::vector<std::uint8_t> assetBytes(const AssetRegistry& registry, const std::string& name);
std::string assetText(const AssetRegistry& registry, const std::string& name);

} // namespace vantle::vst
