#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvel::fingerprint {

// One render of the random programme and the hash of every output bit.
struct Digest {
    std::string path;               // "VST 3 32-bit", "VST 3 64-bit", "VST 2", "CLAP 32-bit", "CLAP 64-bit", on Linux "LV2"
    std::uint64_t hash = 0;         // FNV-1a over the output samples' bytes
    std::int64_t frames = 0;
};

// Renders `seconds` of the random programme from `seed` through the module
// in each processing path and hashes the output. Two builds whose engines
// compute the same thing print the same hashes; a refactoring of the engine
// proves it changed nothing by comparing the hashes of the module before
// and after.
std::vector<Digest> digest(const std::string& modulePath, double seconds, std::uint32_t seed);

} // namespace tarvel::fingerprint
