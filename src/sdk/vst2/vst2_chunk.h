#pragma once
// The chunk a VST 2 host stores for the effect: the processor's and the
// controller's states side by side, since a VST 2 host keeps one blob per
// effect where a VST 3 host keeps two.
//
//   bytes 0-3   "V3CS"
//   bytes 4-7   processor state size n, 32-bit little-endian
//   n bytes     processor state
//   4 bytes     controller state size m, 32-bit little-endian
//   m bytes     controller state
//
// Nothing may follow; a chunk that is shorter, longer or differently tagged
// is refused as a whole.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace Steinberg::Vst {

struct Vst2ChunkParts {
    std::span<const std::uint8_t> processorState;
    std::span<const std::uint8_t> controllerState;
};

std::vector<std::uint8_t> packVst2Chunk(std::span<const std::uint8_t> processorState,
                                        std::span<const std::uint8_t> controllerState);

// Views into `chunk`, or nothing if it is not a chunk in this format.
std::optional<Vst2ChunkParts> unpackVst2Chunk(std::span<const std::uint8_t> chunk) noexcept;

} // namespace Steinberg::Vst
