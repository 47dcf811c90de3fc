#include "tools/fingerprint/fingerprint.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>

namespace tarvel::fingerprint {

namespace {

constexpr char magic[8] = {'T', 'V', 'F', 'P', '0', '0', '0', '2'};

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

File openFile(const std::string& path, const char* mode)
{
    File file(std::fopen(path.c_str(), mode), &std::fclose);
    if (!file)
        throw std::runtime_error("cannot open " + path);
    return file;
}

// Every field as a 32-bit little-endian byte count followed by the bytes,
// so the file means the same on every platform.
void putBlock(std::FILE* file, const void* data, std::size_t size)
{
    const auto count = static_cast<std::uint32_t>(size);
    const std::uint8_t length[4] = {std::uint8_t(count), std::uint8_t(count >> 8), std::uint8_t(count >> 16),
                                    std::uint8_t(count >> 24)};
    if (std::fwrite(length, 1, 4, file) != 4 || (size && std::fwrite(data, 1, size, file) != size))
        throw std::runtime_error("cannot write the fingerprint");
}

std::vector<std::uint8_t> getBlock(std::FILE* file)
{
    std::uint8_t length[4];
    if (std::fread(length, 1, 4, file) != 4)
        throw std::runtime_error("truncated fingerprint");
    const std::uint32_t count = length[0] | length[1] << 8 | length[2] << 16 | std::uint32_t(length[3]) << 24;
    if (count > (1u << 28))
        throw std::runtime_error("implausible block size in fingerprint");
    std::vector<std::uint8_t> bytes(count);
    if (count && std::fread(bytes.data(), 1, count, file) != count)
        throw std::runtime_error("truncated fingerprint");
    return bytes;
}

template <typename T>
std::vector<std::uint8_t> bytesOf(const T& value)
{
    std::vector<std::uint8_t> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

template <typename T>
T valueOf(const std::vector<std::uint8_t>& bytes, const char* what)
{
    T value{};
    if (bytes.size() != sizeof value)
        throw std::runtime_error(std::string("malformed fingerprint field: ") + what);
    std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}

std::string textOf(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string hex(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    char two[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(two, sizeof two, "%02x", b);
        text += two;
    }
    return text;
}

} // namespace

void save(const Fingerprint& print, const std::string& path)
{
    File file = openFile(path, "wb");
    if (std::fwrite(magic, 1, sizeof magic, file.get()) != sizeof magic)
        throw std::runtime_error("cannot write " + path);
    putBlock(file.get(), print.processorClassId.data(), print.processorClassId.size());
    putBlock(file.get(), print.controllerClassId.data(), print.controllerClassId.size());
    putBlock(file.get(), &print.vst2UniqueId, 4);
    putBlock(file.get(), print.stateBefore.data(), print.stateBefore.size());
    putBlock(file.get(), print.stateAfter.data(), print.stateAfter.size());
    putBlock(file.get(), &print.latency, 4);
    putBlock(file.get(), print.audio.data(), print.audio.size() * sizeof(float));
    if (std::fflush(file.get()) != 0)
        throw std::runtime_error("cannot write " + path);
}

Fingerprint load(const std::string& path)
{
    File file = openFile(path, "rb");
    char head[sizeof magic];
    if (std::fread(head, 1, sizeof head, file.get()) != sizeof head || std::memcmp(head, magic, sizeof magic) != 0)
        throw std::runtime_error(path + " is not a fingerprint");
    Fingerprint print;
    print.processorClassId = textOf(getBlock(file.get()));
    print.controllerClassId = textOf(getBlock(file.get()));
    print.vst2UniqueId = valueOf<std::int32_t>(getBlock(file.get()), "VST 2 ID");
    print.stateBefore = getBlock(file.get());
    print.stateAfter = getBlock(file.get());
    print.latency = valueOf<std::int32_t>(getBlock(file.get()), "latency");
    const std::vector<std::uint8_t> audio = getBlock(file.get());
    if (audio.size() % sizeof(float) != 0)
        throw std::runtime_error("malformed fingerprint field: audio");
    print.audio.resize(audio.size() / sizeof(float));
    std::memcpy(print.audio.data(), audio.data(), audio.size());
    return print;
}

Comparison compare(const Fingerprint& a, const Fingerprint& b)
{
    Comparison result;
    auto differ = [&](const std::string& what, const std::vector<std::uint8_t>& x, const std::vector<std::uint8_t>& y) {
        if (x != y) {
            result.identical = false;
            result.differences.push_back(what + ": " + hex(x) + " vs " + hex(y));
        }
    };
    const auto differText = [&](const std::string& what, const std::string& x, const std::string& y) {
        if (x != y) {
            result.identical = false;
            result.differences.push_back(what + ": " + x + " vs " + y);
        }
    };
    differText("processor class ID", a.processorClassId, b.processorClassId);
    differText("controller class ID", a.controllerClassId, b.controllerClassId);
    differ("VST 2 unique ID", bytesOf(a.vst2UniqueId), bytesOf(b.vst2UniqueId));
    differ("state before the render", a.stateBefore, b.stateBefore);
    differ("state after the render", a.stateAfter, b.stateAfter);
    differ("latency", bytesOf(a.latency), bytesOf(b.latency));
    if (a.audio.size() != b.audio.size()) {
        result.identical = false;
        result.differences.push_back("audio length: " + std::to_string(a.audio.size()) + " vs " +
                                     std::to_string(b.audio.size()));
        result.maxAudioDifference = INFINITY;
        return result;
    }
    for (std::size_t i = 0; i < a.audio.size(); ++i) {
        // NaN on one side only is the largest possible difference.
        const double d = std::abs(double(a.audio[i]) - double(b.audio[i]));
        const double difference = std::isnan(d) ? (std::isnan(a.audio[i]) == std::isnan(b.audio[i]) ? 0.0 : std::numeric_limits<double>::infinity()) : d;
        if (difference > result.maxAudioDifference) {
            result.maxAudioDifference = difference;
            result.worstFrame = i;
        }
    }
    return result;
}

} // namespace tarvel::fingerprint
