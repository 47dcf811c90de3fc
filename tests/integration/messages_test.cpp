// The processor and controller talking through the host's connection, as a
// host wires them: latency changes on Speed, and the loudness reading.

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "framework/messages.h"
#include "integration/loaded_plugin.h"
#include "protocol/messages.h"
#include "support/signals.h"

namespace tarvel::test {
namespace {

// The detector delays at 48 kHz.
constexpr uint32 slowLatency48k = 5926;
constexpr uint32 fastLatency48k = 592;

TEST(LatencyThroughTheModule, SpeedChangeTravelsAsU1AndComesBackAsB1AndARestart)
{
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    EXPECT_EQ(plugin.processor()->getLatencySamples(), slowLatency48k);
    plugin.fromController()->clearLog();
    plugin.fromProcessor()->clearLog();
    plugin.handler().clear();

    ASSERT_EQ(plugin.controller()->setParamNormalized(speedId, 0.0), kResultOk);

    ASSERT_EQ(plugin.fromController()->count(messages::speedChanged), 1u);
    EXPECT_EQ(floatAttribute(plugin.fromController()->latest(messages::speedChanged), messages::speedValue), 0.0);
    EXPECT_EQ(plugin.fromProcessor()->count(vantle::vst::messages::latencyChanged), 1u);
    ASSERT_EQ(plugin.handler().restarts().size(), 1u);
    EXPECT_EQ(plugin.handler().restarts()[0] & Vst::kLatencyChanged, Vst::kLatencyChanged);
    EXPECT_EQ(plugin.processor()->getLatencySamples(), fastLatency48k);

    // The same value again is no change: nothing travels.
    plugin.controller()->setParamNormalized(speedId, 0.0);
    EXPECT_EQ(plugin.fromController()->count(messages::speedChanged), 1u);
    EXPECT_EQ(plugin.handler().restarts().size(), 1u);
}

TEST(LatencyThroughTheModule, ASpeedOutsideTheRangeFromTheHostTravelsAsTheControllerHoldsIt)
{
    // Automation of 1.5 runs the engine slow, so the latency must follow,
    // though the processor refuses a message outside 0..1.
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    plugin.controller()->setParamNormalized(speedId, 0.0);
    ASSERT_EQ(plugin.processor()->getLatencySamples(), fastLatency48k);
    plugin.controller()->setParamNormalized(speedId, 1.5);
    EXPECT_EQ(floatAttribute(plugin.fromController()->latest(messages::speedChanged), messages::speedValue), 1.0);
    EXPECT_EQ(plugin.processor()->getLatencySamples(), slowLatency48k);
    plugin.controller()->setParamNormalized(speedId, -HUGE_VAL);
    EXPECT_EQ(plugin.processor()->getLatencySamples(), fastLatency48k);
    // Not a number: nothing to tell, nothing changes.
    const std::size_t sent = plugin.fromController()->count(messages::speedChanged);
    plugin.controller()->setParamNormalized(speedId, std::nan(""));
    EXPECT_EQ(plugin.fromController()->count(messages::speedChanged), sent);
    EXPECT_EQ(plugin.processor()->getLatencySamples(), fastLatency48k);
}

TEST(LatencyThroughTheModule, TheRestartedEngineDelaysByTheNewLatency)
{
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    plugin.controller()->setParamNormalized(speedId, 0.0);
    // The host passes the edit on and restarts as asked.
    AudioBlock<float> block(2, 512);
    block.changes.addPoint(speedId, 0, 0.0);
    ASSERT_EQ(block.run(*plugin.processor(), 512), kResultOk);
    plugin.stop();
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    ASSERT_EQ(plugin.processor()->getLatencySamples(), fastLatency48k);

    // With bypass on the output is the input delayed by the latency.
    block.changes.addPoint(bypassId, 0, 1.0);
    std::vector<std::vector<float>> impulse(2, std::vector<float>(2048, 0.0f));
    impulse[0][100] = 0.5f;
    impulse[1][100] = 0.25f;
    // Let the bypass ramp settle first.
    ASSERT_EQ(block.run(*plugin.processor(), 512), kResultOk);
    for (int i = 0; i < 40; ++i)
        block.run(*plugin.processor(), 512);
    const auto out = processSignal(*plugin.processor(), impulse, 256);
    for (std::size_t c = 0; c < 2; ++c) {
        const auto peak = std::max_element(out[c].begin(), out[c].end(),
                                           [](float a, float b) { return std::abs(a) < std::abs(b); });
        EXPECT_EQ(peak - out[c].begin(), 100 + static_cast<long>(fastLatency48k)) << "channel " << c;
        EXPECT_NEAR(static_cast<double>(*peak), static_cast<double>(impulse[c][100]), 1e-4);
    }
}

// Samples between an impulse going into a running instance and its peak
// coming out. Ratio is 1:1, so the output is the input delayed.
std::ptrdiff_t impulseDelay(Vst::IAudioProcessor& processor)
{
    std::vector<std::vector<float>> impulse(2, std::vector<float>(8192, 0.0f));
    impulse[0][300] = 0.8f;
    impulse[1][300] = 0.6f;
    const auto out = processSignal(processor, impulse, 512);
    const auto peak = std::max_element(out[0].begin(), out[0].end(),
                                       [](float a, float b) { return std::abs(a) < std::abs(b); });
    EXPECT_NEAR(*peak, 0.8f, 1e-3f);
    return peak - out[0].begin() - 300;
}

// A host that ignores kLatencyChanged while playing (or one that has no
// restart at all) keeps the engine it has: the delay must still become the
// latency the processor now reports, in both directions; also when the host
// drops the edit itself, as hosts do with parameters they do not automate,
// and the processor hears of it only from the controller.
TEST(LatencyThroughTheModule, WithoutARestartTheDelayFollowsSpeedBothWays)
{
    for (const bool hostPassesTheEdit : {true, false}) {
        SCOPED_TRACE(hostPassesTheEdit ? "the host passes the edit on" : "the host drops the edit");
        PluginInstance source(loadedModule());
        source.controller()->setParamNormalized(speedId, 0.0);
        source.controller()->setParamNormalized(ratioId, 0.0);
        PluginInstance plugin(loadedModule());
        ASSERT_EQ(plugin.restoreProcessorState(source.controllerState()), kResultOk);
        ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
        ASSERT_EQ(plugin.processor()->getLatencySamples(), fastLatency48k);

        const auto noise = whiteNoise(0.01, 512, 3);
        AudioBlock<float> block(2, 512);
        block.input = {noise, noise};
        for (const double speed : {1.0, 0.0, 1.0}) {
            for (int i = 0; i < 20; ++i)
                block.run(*plugin.processor(), 512);
            plugin.handler().clear();
            // The user's switch: the controller hears it at once, the
            // processor with the next block.
            plugin.controller()->setParamNormalized(speedId, speed);
            if (hostPassesTheEdit)
                block.changes.addPoint(speedId, 0, speed);
            block.run(*plugin.processor(), 512);
            ASSERT_EQ(plugin.handler().restarts().size(), 1u) << "the host is asked, and ignores it";
            const uint32 reported = plugin.processor()->getLatencySamples();
            EXPECT_EQ(reported, speed > 0.5 ? slowLatency48k : fastLatency48k);
            EXPECT_EQ(impulseDelay(*plugin.processor()), static_cast<std::ptrdiff_t>(reported)) << "Speed " << speed;
        }
        EXPECT_EQ(speedInState(plugin.processorState()), 1.0);
        EXPECT_EQ(speedInState(plugin.controllerState()), 1.0);
    }
}

// The latency a Speed change reports is found without building an engine;
// it must be the delay of the engine a restart then builds.
TEST(LatencyThroughTheModule, ASpeedChangeReportsTheDelayOfTheEngineARestartBuilds)
{
    for (const double rate : {22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0}) {
        SCOPED_TRACE(rate);
        PluginInstance plugin(loadedModule());
        ASSERT_EQ(plugin.start(processSetup(rate), 2), kResultOk);
        uint32 built[2] = {}, reported[2] = {};
        for (const int speed : {0, 1}) {
            plugin.controller()->setParamNormalized(speedId, speed);
            reported[speed] = plugin.processor()->getLatencySamples();
            AudioBlock<float> block(2, 512);
            block.changes.addPoint(speedId, 0, speed);
            block.run(*plugin.processor(), 0);
            plugin.stop();
            ASSERT_EQ(plugin.start(processSetup(rate), 2), kResultOk);
            built[speed] = plugin.processor()->getLatencySamples();
        }
        EXPECT_EQ(reported[0], built[0]);
        EXPECT_EQ(reported[1], built[1]);
        EXPECT_LT(built[0] * 5, built[1]);
    }
}

TEST(LatencyThroughTheModule, NoComponentHandlerAtAllIsHarmless)
{
    PluginInstance plugin(loadedModule(), {.withComponentHandler = false, .connected = true});
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    plugin.fromProcessor()->clearLog();
    EXPECT_EQ(plugin.controller()->setParamNormalized(speedId, 0.0), kResultOk);
    EXPECT_EQ(plugin.fromProcessor()->count(vantle::vst::messages::latencyChanged), 1u);
    EXPECT_EQ(plugin.processor()->getLatencySamples(), fastLatency48k);
    EXPECT_TRUE(plugin.handler().restarts().empty());
}

TEST(LatencyThroughTheModule, UnconnectedComponentsStillWork)
{
    PluginInstance plugin(loadedModule(), {.withComponentHandler = true, .connected = false});
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    EXPECT_EQ(plugin.controller()->setParamNormalized(speedId, 0.0), kResultOk);
    EXPECT_TRUE(plugin.handler().restarts().empty());
    AudioBlock<float> block(2, 64);
    EXPECT_EQ(block.run(*plugin.processor(), 64), kResultOk);
}

// The processor's answer to a meter request, or null if none came.
Vst::IMessage* askForMeter(PluginInstance& plugin)
{
    plugin.fromProcessor()->clearLog();
    auto request = plugin.makeMessage(messages::meterRequest);
    FUnknownPtr<Vst::IConnectionPoint> processorPoint(plugin.component());
    processorPoint->notify(request);
    return plugin.fromProcessor()->latest(messages::meterReading);
}

TEST(MeterThroughTheModule, NoReplyBeforeSetupThenSilenceMarkerThenTheLevel)
{
    PluginInstance plugin(loadedModule());
    EXPECT_EQ(askForMeter(plugin), nullptr);

    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    Vst::IMessage* reply = askForMeter(plugin);
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(floatAttribute(reply, messages::meterValue), -1000.0);

    // A steady 1 kHz sine at -20 dBFS on both channels, for 4 s.
    const auto tone = sine(1000.0, std::pow(10.0, -20.0 / 20.0), 48000, 4 * 48000);
    processSignal(*plugin.processor(), std::vector<std::vector<float>>{tone, tone}, 512);
    reply = askForMeter(plugin);
    ASSERT_NE(reply, nullptr);
    // Two channels of a 0.1-amplitude sine: 10 log10(2 * 0.005) plus the
    // K-weighting's gain at 1 kHz (0.69 dB) less the 0.691 offset: -20.0.
    EXPECT_NEAR(floatAttribute(reply, messages::meterValue), -20.0, 0.1);
}

} // namespace
} // namespace tarvel::test
