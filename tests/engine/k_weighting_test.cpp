#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "processor/engine/biquad_design.h"
#include "processor/engine/k_weighting_filter.h"

namespace tarvel {
namespace {

void expectCoefficientsNear(const BiquadCoefficients& actual, const BiquadCoefficients& expected, float tolerance)
{
    EXPECT_NEAR(actual.a1, expected.a1, tolerance);
    EXPECT_NEAR(actual.a2, expected.a2, tolerance);
    EXPECT_NEAR(actual.b0, expected.b0, tolerance);
    EXPECT_NEAR(actual.b1, expected.b1, tolerance);
    EXPECT_NEAR(actual.b2, expected.b2, tolerance);
}

double responseDecibels(const BiquadCoefficients& c, double frequency, double sampleRate)
{
    const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * frequency / sampleRate);
    const std::complex<double> z2 = z1 * z1;
    const auto h = (double(c.b0) + double(c.b1) * z1 + double(c.b2) * z2) / (1.0 + double(c.a1) * z1 + double(c.a2) * z2);
    return 20.0 * std::log10(std::abs(h));
}

TEST(KWeightingDesign, ReproducesThe48kHzTablesAtTheirOwnRate)
{
    expectCoefficientsNear(designBiquadAt(kPreFilterAt48k, 48000), kPreFilterAt48k, 2e-6f);
    expectCoefficientsNear(designBiquadAt(kHighPassAt48k, 48000), kHighPassAt48k, 2e-6f);
}

TEST(KWeightingDesign, RederivesBothSectionsAt44100)
{
    expectCoefficientsNear(designBiquadAt(kPreFilterAt48k, 44100), {-1.66390f, 0.71278f, 1.53088f, -2.65135f, 1.16934f},
                           1e-5f);
    expectCoefficientsNear(designBiquadAt(kHighPassAt48k, 44100), {-1.98917f, 0.98920f, 0.99956f, -1.99912f, 0.99956f},
                           1e-5f);
}

// The K-weighting curve belongs to the analog prototype, so each rate's
// design must give the same gains well below its Nyquist frequency: about
// +0.69 dB at 1 kHz (the offset the loudness formula subtracts), +4 dB on
// the shelf, and the high-pass cutting the lowest octaves.
TEST(KWeightingDesign, GivesTheSameCurveAtEverySampleRate)
{
    for (const int rate : {32000, 44100, 48000, 88200, 96000, 192000}) {
        SCOPED_TRACE(rate);
        const auto pre = designBiquadAt(kPreFilterAt48k, rate);
        const auto high = designBiquadAt(kHighPassAt48k, rate);
        const auto total = [&](double f) { return responseDecibels(pre, f, rate) + responseDecibels(high, f, rate); };
        EXPECT_NEAR(total(1000.0), 0.691, 0.02);
        EXPECT_NEAR(total(8000.0), 4.0, 0.25);
        EXPECT_LT(total(20.0), -10.0);
        EXPECT_NEAR(total(1000.0), responseDecibels(kPreFilterAt48k, 1000.0, 48000) +
                                       responseDecibels(kHighPassAt48k, 1000.0, 48000), 0.01);
    }
}

TEST(KWeightingFilter, FiltersStepByStepInDirectFormOne)
{
    KWeightingFilter filter = KWeightingFilter::forSampleRate(48000);
    // Impulse response of the cascade: first sample is b0 of both sections.
    const float first = filter.process(1.0f);
    EXPECT_FLOAT_EQ(first, kPreFilterAt48k.b0 * kHighPassAt48k.b0);
    // DC is blocked by the high-pass: a long constant input decays to zero.
    float y = 0.0f;
    for (int i = 0; i < 48000 * 4; ++i)
        y = filter.process(1.0f);
    EXPECT_NEAR(y, 0.0f, 1e-4f);
}

} // namespace
} // namespace tarvel
