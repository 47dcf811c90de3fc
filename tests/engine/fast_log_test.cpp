#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "processor/engine/fast_log.h"

namespace tarvel {
namespace {

TEST(FastLog, AgreesWithTheLibraryAcrossThePowerRange)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> exponent(-37.0, 38.5);
    double worst = 0.0;
    for (int i = 0; i < 2000000; ++i) {
        const double x = std::pow(10.0, exponent(random));
        const double expected = std::log10(x);
        const double error = std::abs(log10Positive(x) - expected) / std::max(std::abs(expected), 1e-3);
        worst = std::max(worst, error);
    }
    EXPECT_LT(worst, 1e-14);
}

TEST(FastLog, IsExactAtPowersOfTenAndAroundOne)
{
    EXPECT_NEAR(log10Positive(1.0), 0.0, 1e-16);
    EXPECT_NEAR(log10Positive(1e-37), -37.0, 1e-13);
    EXPECT_NEAR(log10Positive(1e10), 10.0, 1e-14);
    for (const double x : {0.70710678, 0.70710679, 1.41421356, 1.41421357, 0.99999999, 1.00000001})
        EXPECT_NEAR(log10Positive(x), std::log10(x), 1e-16) << x;
}

} // namespace
} // namespace tarvel
