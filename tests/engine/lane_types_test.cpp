// The lane types against the one-value operations they stand for, on the
// values where implementations part ways: signed zeros, NaN, infinities,
// denormals and the ends of the range. Whichever implementation this is
// built with (SSE2, NEON or plain), every lane must give the one-value
// result's bits, or the engine's output would differ between machines.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "processor/engine/lanes.h"

namespace tarvel {
namespace {

constexpr float floatNan = std::numeric_limits<float>::quiet_NaN();
constexpr float floatInfinity = std::numeric_limits<float>::infinity();
constexpr double doubleNan = std::numeric_limits<double>::quiet_NaN();
constexpr double doubleInfinity = std::numeric_limits<double>::infinity();

const std::vector<float> edgeFloats{0.0f,         -0.0f,          1.0f,        -1.5f,
                                    0.1f,         3.0e38f,        -3.0e38f,    floatInfinity,
                                    -floatInfinity, floatNan,     1.0e-40f,    -1.0e-40f,
                                    std::numeric_limits<float>::min(), 7.0f};
const std::vector<double> edgeDoubles{0.0,       -0.0,          1.0,     -1.5,      0.1,
                                      1.0e300,   -1.0e300,      1.0e-310, -1.0e-310, doubleInfinity,
                                      -doubleInfinity, doubleNan, 3.4e38, 1.0 + 0x1p-30};

// The same bits, or NaN on both sides (NaN payloads follow the processor,
// and the engine only ever asks whether a value is NaN).
bool same(float a, float b)
{
    return (std::isnan(a) && std::isnan(b)) || std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}
bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Every ordered pair of edge values, four pairs to a group of lanes.
template <typename Check>
void forEachFloatPairGroup(Check check)
{
    std::vector<float> left, right;
    for (float a : edgeFloats)
        for (float b : edgeFloats) {
            left.push_back(a);
            right.push_back(b);
        }
    while (left.size() % 4 != 0) {
        left.push_back(0.0f);
        right.push_back(0.0f);
    }
    for (std::size_t i = 0; i < left.size(); i += 4)
        check(FloatLanes::loadUnaligned(&left[i]), FloatLanes::loadUnaligned(&right[i]), &left[i], &right[i]);
}

TEST(FloatLanes, ArithmeticMinimumAndMaximumGiveTheOneValueBits)
{
    forEachFloatPairGroup([](FloatLanes a, FloatLanes b, const float* x, const float* y) {
        const FloatLanes sum = a + b, difference = a - b, product = a * b, quotient = a / b;
        const FloatLanes smaller = minimum(a, b), larger = maximum(a, b);
        for (std::int32_t i = 0; i < 4; ++i) {
            EXPECT_TRUE(same(sum.lane(i), x[i] + y[i])) << x[i] << " + " << y[i];
            EXPECT_TRUE(same(difference.lane(i), x[i] - y[i])) << x[i] << " - " << y[i];
            EXPECT_TRUE(same(product.lane(i), x[i] * y[i])) << x[i] << " * " << y[i];
            EXPECT_TRUE(same(quotient.lane(i), x[i] / y[i])) << x[i] << " / " << y[i];
            // b where the comparison fails: for NaN and for zeros of either sign.
            EXPECT_TRUE(same(smaller.lane(i), x[i] < y[i] ? x[i] : y[i])) << "minimum " << x[i] << ", " << y[i];
            EXPECT_TRUE(same(larger.lane(i), x[i] > y[i] ? x[i] : y[i])) << "maximum " << x[i] << ", " << y[i];
        }
    });
}

TEST(FloatLanes, ComparisonsSelectWhereTheOneValueComparisonHolds)
{
    const FloatLanes one(1.0f), zero;
    forEachFloatPairGroup([&](FloatLanes a, FloatLanes b, const float* x, const float* y) {
        const FloatLanes less = select(a < b, one, zero), greater = select(a > b, one, zero);
        const FloatLanes atLeast = select(a >= b, one, zero), notBelow = select(notLess(a, b), one, zero);
        const FloatLanes either = select((a < b) | (a > b), one, zero);
        bool anyLess = false;
        for (std::int32_t i = 0; i < 4; ++i) {
            EXPECT_EQ(less.lane(i), x[i] < y[i] ? 1.0f : 0.0f) << x[i] << " < " << y[i];
            EXPECT_EQ(greater.lane(i), x[i] > y[i] ? 1.0f : 0.0f) << x[i] << " > " << y[i];
            EXPECT_EQ(atLeast.lane(i), x[i] >= y[i] ? 1.0f : 0.0f) << x[i] << " >= " << y[i];
            EXPECT_EQ(notBelow.lane(i), !(x[i] < y[i]) ? 1.0f : 0.0f) << "not " << x[i] << " < " << y[i];
            EXPECT_EQ(either.lane(i), x[i] < y[i] || x[i] > y[i] ? 1.0f : 0.0f) << x[i] << " <> " << y[i];
            anyLess = anyLess || x[i] < y[i];
        }
        EXPECT_EQ(any(a < b), anyLess);
    });
}

TEST(FloatLanes, RearrangementsPutEachLaneWhereTheirNamesSay)
{
    const FloatLanes a(0.0f, 1.0f, 2.0f, 3.0f), b(10.0f, 11.0f, 12.0f, 13.0f);
    auto lanesOf = [](FloatLanes x) {
        return std::vector<float>{x.lane(0), x.lane(1), x.lane(2), x.lane(3)};
    };
    EXPECT_EQ(lanesOf(lowThenHigh(a, b)), (std::vector<float>{0, 1, 12, 13}));
    EXPECT_EQ(lanesOf(highThenLow(a, b)), (std::vector<float>{2, 3, 10, 11}));
    EXPECT_EQ(lanesOf(lowOfBoth(a, b)), (std::vector<float>{0, 1, 10, 11}));
    EXPECT_EQ(lanesOf(evenLanes(a, b)), (std::vector<float>{0, 2, 10, 12}));
    EXPECT_EQ(lanesOf(oddLanes(a, b)), (std::vector<float>{1, 3, 11, 13}));
    EXPECT_EQ(a.first(), 0.0f);

    const float pair[3] = {5.0f, 6.0f, 99.0f};
    EXPECT_EQ(lanesOf(loadPair(pair)), (std::vector<float>{5, 6, 0, 0}));
    float high[3] = {0.0f, 0.0f, 99.0f};
    storeHighPair(high, b);
    EXPECT_EQ(std::vector<float>(high, high + 3), (std::vector<float>{12, 13, 99}));

    FloatLanes r0 = a, r1 = b, r2(20.0f, 21.0f, 22.0f, 23.0f), r3(30.0f, 31.0f, 32.0f, 33.0f);
    transpose(r0, r1, r2, r3);
    EXPECT_EQ(lanesOf(r0), (std::vector<float>{0, 10, 20, 30}));
    EXPECT_EQ(lanesOf(r1), (std::vector<float>{1, 11, 21, 31}));
    EXPECT_EQ(lanesOf(r2), (std::vector<float>{2, 12, 22, 32}));
    EXPECT_EQ(lanesOf(r3), (std::vector<float>{3, 13, 23, 33}));
}

TEST(DoubleLanes, ArithmeticWideningNarrowingAndClampsGiveTheOneValueBits)
{
    for (double c : edgeDoubles) {
        for (std::size_t first = 0; first < edgeDoubles.size(); first += 4) {
            alignas(16) double x[4];
            for (std::size_t i = 0; i < 4; ++i)
                x[i] = edgeDoubles[(first + i) % edgeDoubles.size()];
            const DoubleLanes a = DoubleLanes::load(x);
            alignas(16) double results[8][4];
            (a + c).store(results[0]);
            (c - a).store(results[1]);
            (a * c).store(results[2]);
            (a / broadcast(c)).store(results[3]);
            minimum(a, c).store(results[4]);
            maximum(a, c).store(results[5]);
            (a - c).store(results[6]);
            (c * a + a).store(results[7]);
            alignas(16) float narrowed[4];
            narrow(a).store(narrowed);
            for (std::size_t i = 0; i < 4; ++i) {
                EXPECT_TRUE(same(results[0][i], x[i] + c)) << x[i] << " + " << c;
                EXPECT_TRUE(same(results[1][i], c - x[i])) << c << " - " << x[i];
                EXPECT_TRUE(same(results[2][i], x[i] * c)) << x[i] << " * " << c;
                EXPECT_TRUE(same(results[3][i], x[i] / c)) << x[i] << " / " << c;
                EXPECT_TRUE(same(results[4][i], x[i] < c ? x[i] : c)) << "minimum " << x[i] << ", " << c;
                EXPECT_TRUE(same(results[5][i], x[i] > c ? x[i] : c)) << "maximum " << x[i] << ", " << c;
                EXPECT_TRUE(same(results[6][i], x[i] - c)) << x[i] << " - " << c;
                EXPECT_TRUE(same(results[7][i], c * x[i] + x[i])) << c << " * " << x[i] << " + " << x[i];
                EXPECT_TRUE(same(narrowed[i], static_cast<float>(x[i]))) << "narrowing " << x[i];
            }
        }
    }
    for (std::size_t first = 0; first < edgeFloats.size(); first += 4) {
        float x[4];
        for (std::size_t i = 0; i < 4; ++i)
            x[i] = edgeFloats[(first + i) % edgeFloats.size()];
        alignas(16) double widened[4];
        widen(FloatLanes::loadUnaligned(x)).store(widened);
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_TRUE(same(widened[i], static_cast<double>(x[i]))) << "widening " << x[i];
    }
}

TEST(DoublePair, MagnitudeMaximumAndZeroBelowKeepTheSignOfZeroAndPassNan)
{
    for (double x : edgeDoubles)
        for (double y : edgeDoubles) {
            const DoublePair a(x, y), b(y, x);
            const DoublePair size = magnitude(a), larger = maximum(a, b), sum = a + b, product = a * b;
            const DoublePair flushed = zeroBelow(a, 1e-300);
            EXPECT_TRUE(same(size.lane(0), x < 0.0 ? -x : x)) << "magnitude " << x;
            EXPECT_TRUE(same(larger.lane(0), x > y ? x : y)) << "maximum " << x << ", " << y;
            EXPECT_TRUE(same(larger.lane(1), y > x ? y : x)) << "maximum " << y << ", " << x;
            EXPECT_TRUE(same(sum.lane(1), y + x)) << y << " + " << x;
            EXPECT_TRUE(same(product.lane(0), x * y)) << x << " * " << y;
            EXPECT_TRUE(same((a - b).lane(1), y - x)) << y << " - " << x;
            EXPECT_TRUE(same(flushed.lane(0), (x < 0.0 ? -x : x) < 1e-300 ? 0.0 : x)) << "zero below " << x;
        }
    const double stored[2] = {-2.5, 4.0};
    const DoublePair loaded = DoublePair::loadUnaligned(stored);
    EXPECT_EQ(loaded.lane(0), -2.5);
    EXPECT_EQ(loaded.lane(1), 4.0);
    EXPECT_EQ(DoublePair(3.0).lane(1), 3.0);
}

TEST(LaneBits, IntegerOperationsOnTheBitPatternsOfDoubles)
{
    alignas(16) const double x[4] = {1.0, -0.0, doubleInfinity, 1.0e-310};
    const LaneBits bits = bitsOf(DoubleLanes::load(x));
    const std::uint64_t constant = 0x8000'0000'0000'0401ull;
    alignas(16) double results[6][4];
    doublesOf(bits | constant).store(results[0]);
    doublesOf(bits & constant).store(results[1]);
    doublesOf(bits + constant).store(results[2]);
    doublesOf(shiftRight<52>(bits)).store(results[3]);
    doublesOf(shiftLeft<12>(bits)).store(results[4]);
    doublesOf(bits).store(results[5]);
    for (std::size_t i = 0; i < 4; ++i) {
        const std::uint64_t pattern = std::bit_cast<std::uint64_t>(x[i]);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(results[0][i]), pattern | constant);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(results[1][i]), pattern & constant);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(results[2][i]), pattern + constant);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(results[3][i]), pattern >> 52);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(results[4][i]), pattern << 12);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(results[5][i]), pattern);
    }
}

} // namespace
} // namespace tarvel
