#include "entry/lv2_description.h"

#include <cmath>

#include "foundation/scrambled_text.h"
#include "framework/messages.h"
#include "parameters/parameter_table.h"
#include "parameters/plain_values.h"
#include "protocol/messages.h"

namespace tarvel {
namespace {

using Steinberg::Vst::Lv2ParameterPort;
using Steinberg::Vst::Lv2PluginDescription;
using Steinberg::Vst::Lv2PortKind;

const char* const baseUri = "https://vantle.audio/lv2/tarvel";

double toNormalised(std::int32_t id, double plain) noexcept { return normalisedFromPlain(id, plain); }

double toPlain(std::int32_t id, double normalised) noexcept { return plainFromNormalised(id, normalised); }

double enabledToBypass(std::int32_t id, double enabled) noexcept { return 1.0 - normalisedFromPlain(id, enabled); }

double bypassToEnabled(std::int32_t id, double bypass) noexcept { return 1.0 - plainFromNormalised(id, bypass); }

Lv2ParameterPort portFor(const ParameterDescription& parameter)
{
    Lv2ParameterPort port;
    const auto id = static_cast<std::int32_t>(parameter.id);
    port.id = static_cast<Steinberg::Vst::ParamID>(id);
    port.name = vantle::decodeLiteral(parameter.title);
    port.unitSymbol = vantle::decodeLiteral(parameter.unitLabel);
    const PlainRange range = plainRange(id);
    port.minimum = range.minimum;
    port.maximum = range.maximum;
    port.defaultValue = plainFromNormalised(id, static_cast<double>(parameter.defaultValue));
    port.toNormalised = toNormalised;
    port.toPlain = toPlain;
    switch (parameter.id) {
    case Bypass:
        // The host's bypass switch says "enabled"; its default is the
        // opposite of Bypass's.
        port.kind = Lv2PortKind::hostEnabled;
        port.symbol = "enabled";
        port.name = "Enabled";
        port.defaultValue = 1.0 - port.defaultValue;
        port.toNormalised = enabledToBypass;
        port.toPlain = bypassToEnabled;
        break;
    case Speed:
        port.kind = Lv2PortKind::enumeration;
        port.symbol = "speed";
        port.decidesLatency = true;
        for (std::int32_t step = 0; step <= parameter.stepCount; ++step) {
            const double normalised = static_cast<double>(step) / parameter.stepCount;
            port.scalePoints.push_back({static_cast<double>(step), displayText(id, normalised)});
        }
        break;
    case Ratio:
        port.symbol = "ratio";
        port.logarithmic = true;
        port.unitSymbol = ":1";
        break;
    case StereoRatio:
        port.symbol = "stereo_ratio";
        port.logarithmic = true;
        port.unitSymbol = ":1";
        break;
    case Target: port.symbol = "target"; break;
    }
    return port;
}

std::vector<Lv2PluginDescription> buildPlugins()
{
    Lv2PluginDescription stereo;
    stereo.uri = std::string(baseUri) + "#stereo";
    stereo.name = "Tarvel";
    stereo.channels = 2;
    for (const ParameterDescription& parameter : parameterTable())
        stereo.parameters.push_back(portFor(parameter));
    // What the editor's graph and readout show: LV2 user interfaces read it
    // from these ports, as they run apart from the audio instance.
    using Steinberg::Vst::Lv2ReadingValue;
    stereo.reading = Steinberg::Vst::Lv2ReadingPort{
        {
            Lv2ReadingValue{"loudness", "Input Loudness", "LUFS", -100.0, 10.0, -1000.0, messages::meterValue},
            Lv2ReadingValue{"output_loudness", "Output Loudness", "LUFS", -100.0, 10.0, -1000.0, messages::outputValue},
            Lv2ReadingValue{"gain", "Gain", "dB", -60.0, 60.0, 0.0, messages::gainValue},
            Lv2ReadingValue{"side_gain", "Side Gain", "dB", -60.0, 60.0, 0.0, messages::sideGainValue},
            Lv2ReadingValue{"stereo", "Stereo", "", 0.0, 1.0, 0.0, messages::stereoFlag, true},
        },
        messages::meterRequest,
        messages::meterReading};
    Lv2PluginDescription mono = stereo;
    mono.uri = std::string(baseUri) + "#mono";
    mono.name = "Tarvel Mono";
    mono.channels = 1;
    return {stereo, mono};
}

} // namespace

const std::vector<Lv2PluginDescription>& lv2Plugins()
{
    static const std::vector<Lv2PluginDescription> plugins = buildPlugins();
    return plugins;
}

const Steinberg::Vst::Lv2UiDescription& lv2Ui()
{
    static const Steinberg::Vst::Lv2UiDescription ui{std::string(baseUri) + "#ui", vantle::vst::messages::processorActive,
                                                     vantle::vst::messages::processorActiveFlag};
    return ui;
}
std::string lv2MakerName() { return VANTLE_TEXT("Vantle Audio"); }
std::string lv2MakerHomepage() { return "https://vantle.audio"; }

} // namespace tarvel
