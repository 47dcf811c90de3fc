#include <gtest/gtest.h>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "processor/engine/realtime_processor.h"
#include "processor/engine/smoother_search.h"

namespace tarvel {
namespace {

double impulsePeakOf(float coefficient)
{
    SmootherChain chain{};
    for (auto& stage : chain)
        stage = {0.0f, coefficient};
    double peak = stepChain(chain, 1.0f);
    for (int i = 0; i < 1000000; ++i)
        peak = std::max(peak, static_cast<double>(stepChain(chain, 0.0f)));
    return peak;
}

TEST(SmootherSearch, FindsTheDocumentedSettingsAt48kHz)
{
    SmootherChain work{};
    const SmootherSetting fast = findSmootherCoefficient(windowPeak(48000, 0.02f), work);
    EXPECT_NEAR(fast.coefficient, 0.00283f, 0.00001f);
    EXPECT_NEAR(fast.delaySamples, 592, 2);
    const SmootherSetting slow = findSmootherCoefficient(windowPeak(48000, 0.2f), work);
    EXPECT_NEAR(slow.coefficient, 0.000283f, 0.000001f);
    EXPECT_NEAR(slow.delaySamples, 5926, 2);
}

TEST(SmootherSearch, MatchesTheWindowHeightAtEveryRate)
{
    SmootherChain work{};
    for (const int rate : {22050, 44100, 96000, 192000}) {
        for (const float seconds : {0.02f, 0.2f}) {
            SCOPED_TRACE(testing::Message() << rate << " Hz, " << seconds << " s");
            const float peak = windowPeak(rate, seconds);
            const SmootherSetting setting = findSmootherCoefficient(peak, work);
            EXPECT_NEAR(impulsePeakOf(setting.coefficient) / static_cast<double>(peak), 1.0, 1e-3);
            // Two identical poles: the median of the response lies near
            // 1.68 / k samples.
            EXPECT_NEAR(setting.delaySamples * static_cast<double>(setting.coefficient), 1.68, 0.02);
        }
    }
}

TEST(SmootherSearch, WindowPeakIsCappedAtOne)
{
    EXPECT_FLOAT_EQ(windowPeak(48000, 0.0f), 1.0f);
    EXPECT_FLOAT_EQ(windowPeak(10, 0.02f), 1.0f);
    EXPECT_FLOAT_EQ(windowPeak(48000, 0.02f), static_cast<float>(1.0 / 960.0));
}

// The engine switches between the two integration times without searching
// on the audio thread; the settings it switches to must be exactly what a
// search at that moment would give.
TEST(SmootherSearch, PrecomputedSettingsEqualAFreshSearch)
{
    for (const int rate : {44100, 48000, 96000}) {
        SCOPED_TRACE(rate);
        Parameters slow;
        slow[Speed] = 1.0f;
        RealtimeProcessor engine({rate, 2, slow});
        SmootherChain work{};
        const SmootherSetting expectedSlow = findSmootherCoefficient(windowPeak(rate, 0.2f), work);
        const SmootherSetting expectedFast = findSmootherCoefficient(windowPeak(rate, 0.02f), work);
        EXPECT_EQ(engine.delaySamples(), expectedSlow.delaySamples);
        EXPECT_EQ(engine.loudnessCore().smootherCoefficient(), expectedSlow.coefficient);

        Parameters fast = slow;
        fast[Speed] = 0.0f;
        engine.exchange().publish(fast);
        Steinberg::Vst::ProcessData data{};
        float left[8] = {}, right[8] = {};
        const float* in[2] = {left, right};
        float* out[2] = {left, right};
        engine.beginBlock(data);
        engine.processBlock(in, out, 2, 8);
        EXPECT_EQ(engine.delaySamples(), expectedFast.delaySamples);
        EXPECT_EQ(engine.loudnessCore().smootherCoefficient(), expectedFast.coefficient);
    }
}

} // namespace
} // namespace tarvel
