// The harness's EffectHost doing what a DAW does when the user switches
// Speed during playback: the latency restart between blocks, with the new
// engine built from the new value.

#include "integration/loaded_plugin.h"
#include "tools/host/vst3_effect_host.h"

namespace tarvel::test {
namespace {

TEST(EffectHost, SpeedSwitchedWhilePlayingRestartsWithTheNewEngine)
{
    host::Vst3EffectHost effect(TARVEL_MODULE_PATH);
    effect.setParameter(bypassId, 1.0);
    effect.prepare({48000.0, 256, 2, false});
    EXPECT_EQ(effect.latency(), 5926);

    std::vector<float> left(256, 0.0f), right(256, 0.0f), outLeft(256), outRight(256);
    const float* in[] = {left.data(), right.data()};
    float* out[] = {outLeft.data(), outRight.data()};
    effect.process(in, out, 256);

    effect.setParameter(speedId, 0.0);
    EXPECT_EQ(effect.restartsDone(), 0);
    effect.process(in, out, 256);
    EXPECT_EQ(effect.restartsDone(), 1);
    EXPECT_EQ(effect.latency(), 592);

    // The running engine delays by the new latency: an impulse comes out
    // 592 frames later.
    std::vector<float> heard;
    left[10] = right[10] = 0.5f;
    for (int block = 0; block < 4; ++block) {
        effect.process(in, out, 256);
        heard.insert(heard.end(), outLeft.begin(), outLeft.end());
        left[10] = right[10] = 0.0f;
    }
    const auto peak = std::max_element(heard.begin(), heard.end());
    EXPECT_EQ(peak - heard.begin(), 10 + 592);
    EXPECT_NEAR(*peak, 0.5f, 1e-4);
}

} // namespace
} // namespace tarvel::test
