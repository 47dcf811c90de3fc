// The engine's loudness reading against libebur128 on stationary signals.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine_runner.h"
#include "support/reference_loudness.h"
#include "support/signals.h"

namespace tarvel {
namespace {

using test::Channels;

struct MeterCase {
    std::int32_t rate;
    const char* signal;
};

class MeterAgainstReference : public testing::TestWithParam<MeterCase> {};

Channels makeSignal(const MeterCase& c, std::int64_t length)
{
    const std::string name = c.signal;
    if (name == "pink")
        return {test::pinkNoise(0.3, length, 11), test::pinkNoise(0.3, length, 12)};
    const double frequency = std::stod(name);
    return {test::sine(frequency, 0.2, c.rate, length), test::sine(frequency, 0.1, c.rate, length, 0.7)};
}

// Reads the meter after every block from 2 s on and averages it as power,
// which is what an integrating meter does with a fluctuating level.
TEST_P(MeterAgainstReference, AgreesWithinATenthOfALoudnessUnit)
{
    const MeterCase c = GetParam();
    const std::int64_t length = c.rate * 12;
    const Channels input = makeSignal(c, length);
    RealtimeProcessor engine({c.rate, 2, Parameters{}});

    double powerSum = 0.0;
    int readings = 0;
    constexpr std::int32_t block = 512;
    Channels output(2, std::vector<float>(static_cast<std::size_t>(length)));
    for (std::int64_t start = 0; start + block <= length; start += block) {
        Steinberg::Vst::ProcessData data{};
        engine.beginBlock(data);
        const float* in[2] = {input[0].data() + start, input[1].data() + start};
        float* out[2] = {output[0].data() + start, output[1].data() + start};
        engine.processBlock(in, out, 2, block);
        if (start >= 2 * c.rate) {
            powerSum += std::pow(10.0, engine.meterValue() / 10.0);
            ++readings;
        }
    }
    const double meter = 10.0 * std::log10(powerSum / readings);
    Channels measured;
    for (const auto& channel : input)
        measured.emplace_back(channel.begin() + 2 * c.rate, channel.end());
    const double reference = test::referenceLoudness(measured, static_cast<unsigned>(c.rate)).integrated;
    EXPECT_NEAR(meter, reference, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Signals, MeterAgainstReference,
                         testing::Values(MeterCase{44100, "100"}, MeterCase{44100, "1000"}, MeterCase{44100, "5000"},
                                         MeterCase{44100, "pink"}, MeterCase{48000, "100"}, MeterCase{48000, "1000"},
                                         MeterCase{48000, "5000"}, MeterCase{48000, "pink"}, MeterCase{96000, "100"},
                                         MeterCase{96000, "1000"}, MeterCase{96000, "5000"}, MeterCase{96000, "pink"}),
                         [](const testing::TestParamInfo<MeterCase>& param) {
                             return std::string(param.param.signal) + "_at_" + std::to_string(param.param.rate);
                         });

// One channel takes the engine's general path, whose meter must read the
// same scale.
TEST(MonoMeter, AgreesWithTheReference)
{
    const std::int32_t rate = 48000;
    const Channels input{test::sine(300.0, 0.5, rate, rate)};
    RealtimeProcessor mono({rate, 1, Parameters{}});
    test::runEngine(mono, input, 512);
    EXPECT_NEAR(mono.meterValue(), test::referenceLoudness(input, rate).integrated, 0.1);
}

} // namespace
} // namespace tarvel
