// The editor's readout through the loaded module in an X11 host window: a
// sine playing at a known level, the numbers the mapping formula predicts,
// and dashes for silence.
#include "x11_editor_fixture.h"

#include "protocol/messages.h"

#include <cmath>

namespace tarvel::test {
namespace {

class ReadoutInTheEditor : public EditorInHost {
protected:
    // Plays a 1 kHz sine of this peak level on both channels in real time
    // while the editor's timer runs.
    void play(double decibels, std::chrono::milliseconds duration)
    {
        AudioBlock<float> block(2, 480);
        const double amplitude = std::pow(10.0, decibels / 20.0);
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < duration) {
            for (std::size_t c = 0; c < 2; ++c)
                for (std::size_t i = 0; i < 480; ++i)
                    block.input[c][i] = float(amplitude * std::sin(phase + double(i) * 2 * M_PI * 1000 / 48000));
            phase += 480 * 2 * M_PI * 1000 / 48000;
            block.run(*plugin.processor(), 480);
            settle(10ms);
        }
    }
    double reading(const char* attribute)
    {
        return floatAttribute(plugin.fromProcessor()->latest(messages::meterReading), attribute);
    }
    // The screen once it shows what the editor must show for the latest
    // reading: curve, marker and readout.
    int differenceFromTheLatestReading()
    {
        const double meter = reading(messages::meterValue);
        return differenceOnScreen(referenceEditor(values(), meter, true));
    }

    double phase = 0;
};

TEST_F(ReadoutInTheEditor, ASinePlayingShowsWhatTheMappingMakesOfItAndSilenceShowsDashes)
{
    // Target -20, 4:1; a stereo sine peaking at -30 dBFS reads -30 LUFS.
    plugin.controller()->setParamNormalized(ratioId, 1.0);
    ASSERT_EQ(plugin.restoreProcessorState(plugin.controllerState()), kResultOk);
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    ASSERT_NE(open(), nullptr);
    play(-30.0, 2500ms);
    const double input = reading(messages::meterValue);
    EXPECT_NEAR(input, -30.0, 0.1);
    EXPECT_NEAR(reading(messages::outputValue), -20.0 + (input + 20.0) / 4.0, 0.1);
    EXPECT_NEAR(reading(messages::gainValue), 7.5, 0.1);
    // The numbers on screen are those, to a tenth, beside the curve.
    EXPECT_LE(differenceFromTheLatestReading(), 2);

    // Silence from a fresh start: nothing to read, dashes.
    plugin.stop();
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    play(-1000.0, 300ms);
    EXPECT_LT(reading(messages::meterValue), -70.0);
    EXPECT_LE(differenceFromTheLatestReading(), 2);
    const Readout silent = referenceReadout(values(), reading(messages::meterValue), true);
    EXPECT_EQ(readoutLines(silent, 0.0f)[0], "IN       - LUFS");
    plugin.stop();
}

} // namespace
} // namespace tarvel::test
