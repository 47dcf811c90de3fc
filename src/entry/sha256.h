#pragma once
// SHA-256 (FIPS 180-4). The class IDs are derived from it, so it must give the
// same digest on every platform and compiler; it is our own code because no
// crypto library is available for every target we build.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tarvel {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
public:
    Sha256() noexcept;

    void update(std::span<const std::uint8_t> bytes) noexcept;
    void update(std::string_view text) noexcept;

    // Pads, finishes and returns the digest; the object must not be updated
    // afterwards.
    Sha256Digest finish() noexcept;

private:
    void compressBlock(const std::uint8_t* block) noexcept;

    std::array<std::uint32_t, 8> state;
    std::array<std::uint8_t, 64> pending{};
    std::size_t pendingCount = 0;
    std::uint64_t totalBytes = 0;
};

Sha256Digest sha256(std::string_view text) noexcept;

} // namespace tarvel
