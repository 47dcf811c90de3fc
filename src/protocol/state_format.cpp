#include "protocol/state_format.h"

#include <cmath>
#include <limits>

#include <picojson.h>

#include "foundation/scrambled_text.h"
#include "parameters/engine_conversion.h"
#include "parameters/parameter_table.h"

namespace tarvel {
namespace {

std::array<std::string, ParameterCount> memberNames()
{
    return {VANTLE_TEXT("bypass"), VANTLE_TEXT("speed"), VANTLE_TEXT("ratio"), VANTLE_TEXT("stereoRatio"),
            VANTLE_TEXT("target")};
}

bool writeAll(Steinberg::IBStream* stream, const void* bytes, Steinberg::int32 count)
{
    Steinberg::int32 written = 0;
    return stream->write(const_cast<void*>(bytes), count, &written) == Steinberg::kResultOk && written == count;
}

bool readAll(Steinberg::IBStream* stream, void* bytes, Steinberg::int32 count)
{
    Steinberg::int32 read = 0;
    return stream->read(bytes, count, &read) == Steinberg::kResultOk && read == count;
}

// A double beyond float's range becomes the largest float of its sign,
// which every consumer clamps, instead of an undefined conversion. Not an
// infinity: the state is saved again as read, and a state that cannot hold
// an infinity would then refuse to save at all.
float narrow(double value)
{
    constexpr float largest = std::numeric_limits<float>::max();
    if (value > static_cast<double>(largest))
        return largest;
    if (value < -static_cast<double>(largest))
        return -largest;
    return static_cast<float>(value);
}

// JSON has no infinities and no NaN, yet a host's automation can hand
// either over and values are kept as they arrive. Such a value is written as
// what every consumer makes of it (clampNormalised: NaN acts as 1), so the
// state still saves and loads back to the same sound.
double writable(double value)
{
    return std::isfinite(value) ? value : double(clampNormalised(float(value)));
}

} // namespace

std::string stateJson(const StateValues& values, StateWriter writer)
{
    const auto names = memberNames();
    picojson::object root;
    for (std::size_t id = 0; id < names.size(); ++id)
        root[names[id]] = picojson::value(writable(values[id]));
    root[VANTLE_TEXT("version")] = picojson::value(1.0);
    root[VANTLE_TEXT("kind")] = picojson::value(writer == StateWriter::Processor ? VANTLE_TEXT("tarvel.processor")
                                                                                 : VANTLE_TEXT("tarvel.controller"));
    return picojson::value(root).serialize();
}

bool writeState(Steinberg::IBStream* stream, const StateValues& values, StateWriter writer) noexcept
{
    try {
        if (!stream)
            return false;
        const std::string text = stateJson(values, writer);
        // Never write what readState would refuse.
        if (text.size() > maxStateTextBytes)
            return false;
        const auto length = static_cast<std::uint32_t>(text.size());
        const unsigned char word[4] = {static_cast<unsigned char>(length), static_cast<unsigned char>(length >> 8),
                                       static_cast<unsigned char>(length >> 16),
                                       static_cast<unsigned char>(length >> 24)};
        return writeAll(stream, word, 4) && writeAll(stream, text.data(), static_cast<Steinberg::int32>(length));
    } catch (...) {
        return false;
    }
}

std::optional<StateValues> readState(Steinberg::IBStream* stream) noexcept
{
    try {
        if (!stream)
            return std::nullopt;
        unsigned char word[4];
        if (!readAll(stream, word, 4))
            return std::nullopt;
        const std::uint32_t length = std::uint32_t{word[0]} | std::uint32_t{word[1]} << 8 | std::uint32_t{word[2]} << 16 | std::uint32_t{word[3]} << 24;
        if (length > maxStateTextBytes)
            return std::nullopt;
        std::string text(length, '\0');
        if (length > 0 && !readAll(stream, text.data(), static_cast<Steinberg::int32>(length)))
            return std::nullopt;
        picojson::value root;
        std::string error;
        picojson::parse(root, text.begin(), text.end(), &error);
        if (!error.empty() || !root.is<picojson::object>())
            return std::nullopt;
        const auto& members = root.get<picojson::object>();
        const auto names = memberNames();
        StateValues values{};
        for (std::size_t id = 0; id < names.size(); ++id) {
            const auto found = members.find(names[id]);
            values[id] = found != members.end() && found->second.is<double>()
                             ? found->second.get<double>()
                             : static_cast<double>(defaultValue(static_cast<std::int32_t>(id)));
        }
        return values;
    } catch (...) {
        return std::nullopt;
    }
}

StateValues toStateValues(const Parameters& parameters)
{
    StateValues values{};
    for (std::int32_t id = 0; id < ParameterCount; ++id)
        values[static_cast<std::size_t>(id)] = static_cast<double>(parameters[id]);
    return values;
}

Parameters toParameters(const StateValues& values)
{
    Parameters parameters;
    for (std::int32_t id = 0; id < ParameterCount; ++id)
        parameters[id] = narrow(values[static_cast<std::size_t>(id)]);
    return parameters;
}

} // namespace tarvel
