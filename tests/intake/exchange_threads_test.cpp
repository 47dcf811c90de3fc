// The lock-free paths between the audio thread and the other threads, under
// real concurrency (this binary also runs under ThreadSanitizer).

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "processor/intake/parameter_set_exchange.h"
#include "processor/intake/value_mailbox.h"

namespace tarvel {
namespace {

Parameters setNumbered(int n)
{
    Parameters p;
    for (std::int32_t id = 0; id < ParameterCount; ++id)
        p[id] = static_cast<float>(n);
    return p;
}

// Every set the reader gets is whole (all five values from one publish),
// newer than the one before, and at least as new as the last publish that
// had completed before the take began.
TEST(ParameterSetExchangeThreads, ReaderGetsWholeNewestSetsOnce)
{
    constexpr int publishes = 200000;
    ParameterSetExchange exchange;
    std::atomic<int> completed{0};
    std::atomic<bool> done{false};
    int failures = 0;
    int taken = 0;

    std::thread reader([&] {
        int last = 0;
        Parameters out;
        for (;;) {
            const int completedBefore = completed.load();
            const bool finished = done.load();
            if (exchange.take(out)) {
                const int n = static_cast<int>(out[0]);
                for (std::int32_t id = 1; id < ParameterCount; ++id)
                    failures += out[id] != out[0];
                failures += n <= last;
                failures += n < completedBefore;
                last = n;
                ++taken;
            } else if (finished) {
                break;
            }
        }
    });
    for (int n = 1; n <= publishes; ++n) {
        exchange.publish(setNumbered(n));
        completed.store(n);
    }
    done.store(true);
    reader.join();
    EXPECT_EQ(failures, 0);
    EXPECT_GT(taken, 0);

    // After everything, one final take is impossible: nothing new is left.
    Parameters out;
    EXPECT_FALSE(exchange.take(out));
}

TEST(ParameterSetExchange, TwoPublishesBeforeATakeDeliverTheSecondOnce)
{
    ParameterSetExchange exchange;
    Parameters out;
    EXPECT_FALSE(exchange.take(out));
    exchange.publish(setNumbered(1));
    exchange.publish(setNumbered(2));
    ASSERT_TRUE(exchange.take(out));
    EXPECT_EQ(out, setNumbered(2));
    const Parameters before = out;
    EXPECT_FALSE(exchange.take(out));
    EXPECT_EQ(out, before);
}

TEST(ValueMailboxThreads, EveryStoredValueIsTakenAtMostOnce)
{
    constexpr int stores = 200000;
    ValueMailbox mailbox;
    std::atomic<bool> done{false};
    int repeats = 0, taken = 0;
    std::thread taker([&] {
        float last = 0.0f, value = 0.0f;
        for (;;) {
            const bool finished = done.load();
            if (mailbox.take(value)) {
                repeats += value <= last;
                last = value;
                ++taken;
            } else if (finished) {
                break;
            }
        }
    });
    for (int n = 1; n <= stores; ++n)
        mailbox.store(static_cast<float>(n));
    done.store(true);
    taker.join();
    EXPECT_EQ(repeats, 0);
    EXPECT_GT(taken, 0);
    float value = 0.0f;
    EXPECT_FALSE(mailbox.take(value));
}

TEST(ValueMailbox, KeepsTheLaterOfTwoStores)
{
    ValueMailbox mailbox;
    float value = 0.0f;
    EXPECT_FALSE(mailbox.take(value));
    mailbox.store(0.25f);
    mailbox.store(0.75f);
    ASSERT_TRUE(mailbox.take(value));
    EXPECT_EQ(value, 0.75f);
    EXPECT_FALSE(mailbox.take(value));
}

} // namespace
} // namespace tarvel
