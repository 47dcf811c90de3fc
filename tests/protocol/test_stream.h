#pragma once
// An IBStream over a byte string that can be told to transfer fewer bytes
// than asked, and that records the reads asked of it.

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "pluginterfaces/base/ibstream.h"

namespace tarvel::test {

class TestStream final : public Steinberg::IBStream {
public:
    explicit TestStream(std::string initial = {}) : bytes(std::move(initial)) {}

    std::string bytes;
    std::size_t position = 0;
    // Bytes the stream still accepts before writes come up short.
    std::size_t writeRoom = std::numeric_limits<std::size_t>::max();
    Steinberg::int32 largestReadAsked = 0;

    Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 count, Steinberg::int32* done) override
    {
        largestReadAsked = std::max(largestReadAsked, count);
        const std::size_t n = std::min(static_cast<std::size_t>(std::max(count, 0)), bytes.size() - position);
        std::memcpy(buffer, bytes.data() + position, n);
        position += n;
        if (done)
            *done = static_cast<Steinberg::int32>(n);
        return Steinberg::kResultOk;
    }

    Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 count, Steinberg::int32* done) override
    {
        const std::size_t n = std::min(static_cast<std::size_t>(std::max(count, 0)), writeRoom);
        writeRoom -= n;
        bytes.append(static_cast<const char*>(buffer), n);
        if (done)
            *done = static_cast<Steinberg::int32>(n);
        return Steinberg::kResultOk;
    }

    Steinberg::tresult PLUGIN_API seek(Steinberg::int64, Steinberg::int32, Steinberg::int64*) override
    {
        return Steinberg::kNotImplemented;
    }
    Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override
    {
        if (pos)
            *pos = static_cast<Steinberg::int64>(position);
        return Steinberg::kResultOk;
    }

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID, void** object) override
    {
        *object = nullptr;
        return Steinberg::kNoInterface;
    }
    Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
    Steinberg::uint32 PLUGIN_API release() override { return 1; }
};

// A length word followed by `text`.
inline std::string stateBytes(std::uint32_t length, const std::string& text)
{
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<char>((length >> shift) & 0xFF));
    return bytes + text;
}

inline std::string stateBytes(const std::string& text)
{
    return stateBytes(static_cast<std::uint32_t>(text.size()), text);
}

} // namespace tarvel::test
