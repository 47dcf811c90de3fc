// A VST 2 host's threads at once, through the built module: automation
// calling setParameter on one, processReplacing on another, the
// user-interface thread reading values back and idling on a third (run
// under ThreadSanitizer in CI).

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tools/host/vst2_host.h"

namespace tarvel::test {
namespace {

using namespace vst2;

constexpr VstInt32 Speed = 1, Ratio = 2;

TEST(Vst2Threads, SetParameterProcessingAndTheUserInterfaceRaceSafely)
{
    host::Vst2Host host{TARVEL_MODULE_PATH};
    AEffect* effect = host.open();
    ASSERT_NE(effect, nullptr);
    host.resume(48000.0f, 256);
    host.clearCalls();

    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0}, automations{0};
    std::thread audio([&] {
        std::vector<float> left(256, 0.2f), right(256, -0.1f);
        float* channels[2] = {left.data(), right.data()};
        while (!stop.load()) {
            effect->processReplacing(effect, channels, channels, 256);
            ++blocks;
            std::this_thread::yield();
        }
    });
    std::thread automation([&] {
        for (int n = 0; !stop.load(); ++n) {
            for (VstInt32 id = 0; id < effect->numParams; ++id)
                effect->setParameter(effect, id, static_cast<float>((n + id) % 10) / 10.0f);
            ++automations;
            std::this_thread::yield();
        }
    });

    // Enough user-interface calls that found new automation and new blocks
    // since the one before, however the three threads share the cores.
    int interleaved = 0;
    int lastAutomations = 0, lastBlocks = 0;
    bool inRange = true;
    while (interleaved < 100) {
        for (VstInt32 id = 0; id < effect->numParams; ++id) {
            const float value = effect->getParameter(effect, id);
            inRange = inRange && value >= 0.0f && value <= 1.0f;
        }
        host.dispatch(effEditIdle);
        const int nowAutomations = automations.load(), nowBlocks = blocks.load();
        interleaved += nowAutomations != lastAutomations && nowBlocks != lastBlocks;
        lastAutomations = nowAutomations;
        lastBlocks = nowBlocks;
    }
    stop = true;
    audio.join();
    automation.join();
    EXPECT_TRUE(inRange);

    // Every call back came on the user-interface thread, Speed's latency
    // changes among them.
    EXPECT_FALSE(host.callsOf(audioMasterIOChanged).empty());
    for (const host::Vst2Host::Call& call : host.allCalls())
        EXPECT_EQ(call.thread, std::this_thread::get_id()) << "opcode " << call.opcode;

    // Once the threads are done, the last values are what everyone sees.
    effect->setParameter(effect, Ratio, 0.75f);
    effect->setParameter(effect, Speed, 0.0f);
    host.dispatch(effEditIdle);
    EXPECT_EQ(effect->getParameter(effect, Ratio), 0.75f);
    EXPECT_EQ(host.text(effGetParamDisplay, Speed), "Fast");
    EXPECT_NEAR(effect->initialDelay, 592, 2);
}

} // namespace
} // namespace tarvel::test
