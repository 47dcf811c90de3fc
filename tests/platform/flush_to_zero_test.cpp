// Denormal flushing through the processor's own floating-point control
// register: on inside the scope, back as it was after it.

#include "platform/flush_to_zero.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// Half the smallest normal float: a denormal unless flushed. Computed at run
// time, in the mode of the moment, through volatile operands.
float halfTheSmallestNormal()
{
    volatile float smallest = std::numeric_limits<float>::min();
    volatile float half = 0.5f;
    return smallest * half;
}

TEST(ScopedFlushToZero, FlushesDenormalResultsInsideTheScopeOnlyAndNests)
{
    using vantle::platform::floatingPointMode;
    const auto modeBefore = floatingPointMode();
    ASSERT_GT(halfTheSmallestNormal(), 0.0f) << "denormals were flushed before the scope began";
    {
        vantle::platform::ScopedFlushToZero outer;
        EXPECT_EQ(halfTheSmallestNormal(), 0.0f);
        EXPECT_NE(floatingPointMode(), modeBefore);
        {
            vantle::platform::ScopedFlushToZero inner;
            EXPECT_EQ(halfTheSmallestNormal(), 0.0f);
        }
        EXPECT_EQ(halfTheSmallestNormal(), 0.0f) << "the inner scope's end turned the outer one's flushing off";
    }
    EXPECT_GT(halfTheSmallestNormal(), 0.0f);
    EXPECT_EQ(floatingPointMode(), modeBefore);
}

} // namespace
