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

// The writer keeps going until the other side has seen enough, so the two
// really overlap even on a loaded machine where one thread could otherwise
// finish before the other is scheduled. Float counters stay exact below 2^24.
constexpr int minimumWrites = 200000;
constexpr int minimumTakes = 10000;
constexpr int maximumWrites = 1 << 24;

bool keepWriting(int written, const std::atomic<int>& taken)
{
    // A yield now and then lets a starved reader onto a busy core.
    if (written % 256 == 0)
        std::this_thread::yield();
    return written < maximumWrites && (written < minimumWrites || taken.load() < minimumTakes);
}

// Every set the reader gets is whole (all five values from one publish),
// newer than the one before, and at least as new as the last publish that
// had completed before the take began.
TEST(ParameterSetExchangeThreads, ReaderGetsWholeNewestSetsOnce)
{
    ParameterSetExchange exchange;
    std::atomic<int> completed{0}, taken{0};
    std::atomic<bool> started{false}, done{false};
    int failures = 0;
    int lastTaken = 0;

    std::thread reader([&] {
        started.store(true);
        Parameters out;
        for (;;) {
            const int completedBefore = completed.load();
            const bool finished = done.load();
            if (exchange.take(out)) {
                const int n = static_cast<int>(out[0]);
                for (std::int32_t id = 1; id < ParameterCount; ++id)
                    failures += out[id] != out[0];
                failures += n <= lastTaken;
                failures += n < completedBefore;
                lastTaken = n;
                taken.fetch_add(1);
            } else if (finished) {
                break;
            }
        }
    });
    while (!started.load())
        std::this_thread::yield();
    int n = 0;
    while (keepWriting(n, taken)) {
        exchange.publish(setNumbered(++n));
        completed.store(n);
    }
    done.store(true);
    reader.join();
    EXPECT_EQ(failures, 0);
    EXPECT_GE(taken.load(), minimumTakes);
    // The reader stopped only after finding nothing new once the writer was
    // done, so it ended with the last set and nothing is left.
    EXPECT_EQ(lastTaken, n);
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
    out = setNumbered(7);
    EXPECT_FALSE(exchange.take(out));
    EXPECT_EQ(out, setNumbered(7)) << "a take that finds nothing leaves its output alone";
    exchange.publish(setNumbered(3));
    ASSERT_TRUE(exchange.take(out));
    EXPECT_EQ(out, setNumbered(3));
}

// Stored values are taken at most once and in the order stored; the last
// one is always taken in the end.
TEST(ValueMailboxThreads, EveryStoredValueIsTakenAtMostOnce)
{
    ValueMailbox mailbox;
    std::atomic<int> taken{0};
    std::atomic<bool> started{false}, done{false};
    int repeats = 0;
    float last = 0.0f;
    std::thread taker([&] {
        started.store(true);
        float value = 0.0f;
        for (;;) {
            const bool finished = done.load();
            if (mailbox.take(value)) {
                repeats += value <= last;
                last = value;
                taken.fetch_add(1);
            } else if (finished) {
                break;
            }
        }
    });
    while (!started.load())
        std::this_thread::yield();
    int n = 0;
    while (keepWriting(n, taken))
        mailbox.store(static_cast<float>(++n));
    done.store(true);
    taker.join();
    EXPECT_EQ(repeats, 0);
    EXPECT_GE(taken.load(), minimumTakes);
    EXPECT_EQ(last, static_cast<float>(n));
    float value = 0.0f;
    EXPECT_FALSE(mailbox.take(value));
}

TEST(ValueMailbox, KeepsTheLaterOfTwoStores)
{
    ValueMailbox mailbox;
    float value = -1.0f;
    EXPECT_FALSE(mailbox.take(value));
    EXPECT_EQ(value, -1.0f);
    mailbox.store(0.25f);
    mailbox.store(0.75f);
    ASSERT_TRUE(mailbox.take(value));
    EXPECT_EQ(value, 0.75f);
    EXPECT_FALSE(mailbox.take(value));
    mailbox.store(0.0f);
    ASSERT_TRUE(mailbox.take(value));
    EXPECT_EQ(value, 0.0f) << "zero is a value, not an empty mailbox";
}

} // namespace
} // namespace tarvel
