#include "sdk/vst2/vst2_chunk.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace Steinberg::Vst {

namespace {

constexpr std::array<std::uint8_t, 4> chunkTag = {'V', '3', 'C', 'S'};
constexpr std::size_t sizeFieldBytes = 4;

void appendSize(std::vector<std::uint8_t>& out, std::size_t size)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(size >> shift));
}

// The size field at `at`, or nothing if the chunk ends first.
std::optional<std::size_t> readSize(std::span<const std::uint8_t> chunk, std::size_t at) noexcept
{
    if (chunk.size() < sizeFieldBytes || at > chunk.size() - sizeFieldBytes)
        return std::nullopt;
    std::uint32_t size = 0;
    for (std::size_t i = 0; i < sizeFieldBytes; ++i)
        size |= static_cast<std::uint32_t>(chunk[at + i]) << (8 * i);
    return size;
}

} // namespace

std::vector<std::uint8_t> packVst2Chunk(std::span<const std::uint8_t> processorState,
                                        std::span<const std::uint8_t> controllerState)
{
    constexpr std::size_t sizeLimit = 0xFFFFFFFFu;
    if (processorState.size() > sizeLimit || controllerState.size() > sizeLimit)
        throw std::length_error("state too large for a chunk");
    std::vector<std::uint8_t> out;
    out.reserve(chunkTag.size() + 2 * sizeFieldBytes + processorState.size() + controllerState.size());
    out.insert(out.end(), chunkTag.begin(), chunkTag.end());
    appendSize(out, processorState.size());
    out.insert(out.end(), processorState.begin(), processorState.end());
    appendSize(out, controllerState.size());
    out.insert(out.end(), controllerState.begin(), controllerState.end());
    return out;
}

std::optional<Vst2ChunkParts> unpackVst2Chunk(std::span<const std::uint8_t> chunk) noexcept
{
    if (chunk.size() < chunkTag.size() || !std::equal(chunkTag.begin(), chunkTag.end(), chunk.begin()))
        return std::nullopt;
    std::size_t at = chunkTag.size();
    const auto processorSize = readSize(chunk, at);
    if (!processorSize)
        return std::nullopt;
    at += sizeFieldBytes;
    if (*processorSize > chunk.size() - at)
        return std::nullopt;
    const auto processor = chunk.subspan(at, *processorSize);
    at += *processorSize;
    const auto controllerSize = readSize(chunk, at);
    if (!controllerSize)
        return std::nullopt;
    at += sizeFieldBytes;
    if (*controllerSize != chunk.size() - at)
        return std::nullopt;
    return Vst2ChunkParts{processor, chunk.subspan(at, *controllerSize)};
}

} // namespace Steinberg::Vst
