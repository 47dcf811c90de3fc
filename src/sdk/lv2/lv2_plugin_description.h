#pragma once
// What an LV2 plug-in presents: its URI, its channels and one control port
// per VST 3 parameter in plain (display) units. The Turtle description and
// the running instance are both made from this, so they cannot disagree.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg::Vst {

struct Lv2ScalePoint {
    double value;
    std::string label;
};

enum class Lv2PortKind {
    continuous,
    enumeration, // integer steps, each a labelled scale point
    toggled,
    // The host's bypass switch: 1 processes, 0 bypasses; the VST 3
    // parameter is the inverse.
    hostEnabled,
};

struct Lv2ParameterPort {
    ParamID id = 0;
    std::string symbol;
    std::string name;
    Lv2PortKind kind = Lv2PortKind::continuous;
    double minimum = 0.0;
    double maximum = 1.0;
    double defaultValue = 0.0;
    bool logarithmic = false;
    std::string unitSymbol; // empty: no unit
    std::vector<Lv2ScalePoint> scalePoints;
    // The normalised VST 3 value of a port value; pure arithmetic, called on
    // the audio thread.
    double (*toNormalised)(std::int32_t id, double plain) noexcept = nullptr;
    // The inverse, for hosts that think in normalised values.
    double (*toPlain)(std::int32_t id, double normalised) noexcept = nullptr;
    // The processor's latency depends on this parameter's steps and on no
    // other parameter (at most one port says so).
    bool decidesLatency = false;
};

// One output control port of a reading: an attribute of the processor's
// answer, a float or (integer) an int.
struct Lv2ReadingValue {
    std::string symbol;
    std::string name;
    std::string unitSymbol;
    double minimum = 0.0;
    double maximum = 1.0;
    double valueBeforeFirstReading = 0.0;
    std::string attribute;
    bool integer = false;
};

// Output control ports with readings the processor gives on request: after
// each run the adapter sends the processor requestMessage and writes the
// attributes of its readingMessage answer, one port each.
struct Lv2ReadingPort {
    static constexpr std::size_t maxValues = 8;
    std::vector<Lv2ReadingValue> values;
    std::string requestMessage;
    std::string readingMessage;
};

struct Lv2PluginDescription {
    std::string uri;
    std::string name;
    std::int32_t channels = 2; // 1 or 2, the same in and out
    std::vector<Lv2ParameterPort> parameters;
    std::optional<Lv2ReadingPort> reading;
};

// The user interface every plug-in of a bundle shares (their parameter and
// reading ports are numbered alike): an X11 window that shows the
// controller's editor. The processor's activation message, which a VST 3
// controller hears from its processor, is sent when the first reading
// arrives.
struct Lv2UiDescription {
    std::string uri;
    std::string activeMessage;
    std::string activeAttribute;
};

// The port indices: the parameters first, so that they are numbered alike
// in every channel layout (the user interface relies on it), then the
// latency and the readings, if there are any, then the audio inputs and
// outputs.
struct Lv2PortLayout {
    std::uint32_t parameterCount;
    std::uint32_t readingCount;
    std::uint32_t channels;

    explicit Lv2PortLayout(const Lv2PluginDescription& description)
        : parameterCount(static_cast<std::uint32_t>(description.parameters.size())),
          readingCount(description.reading ? static_cast<std::uint32_t>(description.reading->values.size()) : 0u),
          channels(static_cast<std::uint32_t>(description.channels))
    {
    }
    std::uint32_t latency() const noexcept { return parameterCount; }
    std::uint32_t reading(std::uint32_t value = 0) const noexcept { return parameterCount + 1 + value; }
    std::uint32_t audioInput(std::uint32_t channel) const noexcept { return firstAudio() + channel; }
    std::uint32_t audioOutput(std::uint32_t channel) const noexcept { return firstAudio() + channels + channel; }
    std::uint32_t count() const noexcept { return firstAudio() + 2 * channels; }

private:
    std::uint32_t firstAudio() const noexcept { return parameterCount + 1 + readingCount; }
};

} // namespace Steinberg::Vst
