// What an LV2 host hands the plug-in: LV2 keeps no state of the plug-in's
// own (a host saves the control ports' values), so the door is the ports.
// Through lv2_descriptor's instantiate, connect_port, activate and run: a
// sample rate, any float on every control port (NaN, infinities, values far
// outside the declared range), runs of any length, values changed between
// runs. Nothing crashes and every output, audio and control, stays finite.

#include <fuzzer/FuzzedDataProvider.h>
#include <lv2/core/lv2.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "entry/lv2_description.h"
#include "fuzz/support/in_process_module.h"

namespace {

using tarvel::fuzz::require;

float anyFloat(FuzzedDataProvider& input)
{
    std::array<std::uint8_t, 4> bytes{};
    const auto taken = input.ConsumeBytes<std::uint8_t>(4);
    if (!taken.empty())
        std::memcpy(bytes.data(), taken.data(), taken.size());
    float value = 0.0f;
    std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}

// A port's declared value, or any float at all.
float portValue(FuzzedDataProvider& input, const Steinberg::Vst::Lv2ParameterPort& port)
{
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0: return static_cast<float>(port.minimum);
    case 1: return static_cast<float>(port.maximum);
    case 2: return anyFloat(input);
    default: return static_cast<float>(port.minimum + (port.maximum - port.minimum) * input.ConsumeProbability<double>());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tarvel::fuzz::enterModule();
    FuzzedDataProvider input(data, size);
    const std::uint32_t index = input.ConsumeBool() ? 1 : 0;
    const LV2_Descriptor* descriptor = lv2_descriptor(index);
    require(descriptor != nullptr, "lv2_descriptor has no plug-in at an index the bundle lists");
    const auto& description = tarvel::lv2Plugins()[index];
    require(std::strcmp(descriptor->URI, description.uri.c_str()) == 0, "the descriptor's URI differs from the bundle's");
    const Steinberg::Vst::Lv2PortLayout layout(description);

    static constexpr double rates[] = {44100.0, 48000.0, 88200.0, 96000.0, 192000.0, 22050.0, 8000.0, 384000.0};
    const double sampleRate = input.ConsumeBool() ? rates[input.ConsumeIntegralInRange<std::size_t>(0, 7)]
                                                  : static_cast<double>(anyFloat(input));
    const LV2_Feature* const features[] = {nullptr};
    LV2_Handle handle = descriptor->instantiate(descriptor, sampleRate, "/nonexistent/Tarvel.lv2/", features);
    if (!handle)
        return 0;

    std::vector<float> controls(layout.parameterCount);
    std::vector<float> outputs(1 + layout.readingCount, 0.0f);
    for (std::size_t i = 0; i < controls.size(); ++i)
        controls[i] = portValue(input, description.parameters[i]);
    constexpr std::size_t longest = 5000;
    std::vector<std::vector<float>> audioIn(layout.channels, std::vector<float>(longest));
    std::vector<std::vector<float>> audioOut(layout.channels, std::vector<float>(longest));
    for (std::uint32_t port = 0; port < layout.parameterCount; ++port)
        descriptor->connect_port(handle, port, &controls[port]);
    for (std::uint32_t port = 0; port <= layout.readingCount; ++port)
        descriptor->connect_port(handle, layout.latency() + port, &outputs[port]);
    for (std::uint32_t channel = 0; channel < layout.channels; ++channel) {
        descriptor->connect_port(handle, layout.audioInput(channel), audioIn[channel].data());
        descriptor->connect_port(handle, layout.audioOutput(channel), audioOut[channel].data());
    }

    descriptor->activate(handle);
    for (int run = input.ConsumeIntegralInRange(1, 6); run > 0 && input.remaining_bytes() > 0; --run) {
        const auto frames = input.ConsumeBool() ? input.ConsumeIntegralInRange<std::uint32_t>(0, longest)
                                                : input.ConsumeIntegralInRange<std::uint32_t>(1, 256);
        const float level = input.ConsumeBool() ? 0.9f : 0.01f;
        for (auto& channel : audioIn)
            for (std::size_t i = 0; i < frames; ++i)
                channel[i] = level * std::sin(0.05f * static_cast<float>(i));
        descriptor->run(handle, frames);
        for (const auto& channel : audioOut)
            require(tarvel::fuzz::allFinite(channel.data(), frames), "the audio output is not finite");
        require(tarvel::fuzz::allFinite(outputs.data(), outputs.size()), "an output port is not finite");
        require(outputs[0] >= 0.0f, "the latency port is negative");
        // Some ports change before the next run.
        for (int changes = input.ConsumeIntegralInRange(0, 3); changes > 0 && !controls.empty(); --changes) {
            const auto port = input.ConsumeIntegralInRange<std::size_t>(0, controls.size() - 1);
            controls[port] = portValue(input, description.parameters[port]);
        }
    }
    descriptor->deactivate(handle);
    descriptor->cleanup(handle);
    return 0;
}
