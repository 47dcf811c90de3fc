// The CLAP threads at once: the audio thread flushing host events while a
// second thread reads values and the main thread runs the plug-in's timer,
// which brings the controller up to date. Under ThreadSanitizer this proves
// the paths between them are free of data races.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tools/host/clap_plugin_host.h"

namespace tarvel::test {
namespace {

using host::ClapParamEvent;

TEST(ClapThreads, FlushReadAndTimerOnThreeThreads)
{
    host::ClapPluginHost host(TARVEL_CLAP_PATH);
    ASSERT_TRUE(host.activate(48000.0, 1, 256));
    // Active but not processing: flush belongs to the audio thread.
    host.plugin().stop_processing(&host.plugin());
    std::atomic<bool> done{false};
    std::atomic<int> outOfRange{0};

    std::thread audio([&] {
        for (int i = 0; i < 2000; ++i) {
            const double value = (i % 100) / 100.0;
            host.flush({{0, 2, value}, {0, 3, 1.0 - value}, {0, 4, value}});
        }
        host.flush({{0, 2, 0.125}});
        done = true;
    });
    std::thread reader([&] {
        const auto& params = host.params();
        while (!done) {
            for (clap::clap_id id = 2; id <= 4; ++id) {
                double value = -1.0;
                if (!params.get_value(&host.plugin(), id, &value) || value < 0.0 || value > 1.0)
                    ++outOfRange;
            }
        }
    });
    while (!done)
        host.runTimers();
    audio.join();
    reader.join();
    host.runTimers();
    EXPECT_EQ(outOfRange.load(), 0);
    EXPECT_EQ(host.value(2), 0.125);
    EXPECT_EQ(host.text(2, host.value(2)), host.text(2, 0.125));
}

} // namespace
} // namespace tarvel::test
