#include "processor/engine/biquad_design.h"

#include <boost/math/tools/polynomial.hpp>

namespace tarvel {
namespace {

using Polynomial = boost::math::tools::polynomial<float>;

// Coefficient of power i, 0 where the polynomial is shorter.
float coefficient(const Polynomial& p, std::size_t i) { return i < p.size() ? p[i] : 0.0f; }

struct RationalPair {
    Polynomial numerator, denominator;
};

// The bilinear transform at rate K applied to B0 + B1 s + B2 s^2 over
// 1 + A1 s + A2 s^2, multiplied through by (1 + v)^2 and normalised so that
// the denominator's constant term is 1. scale1 = K, scale2 = K^2.
RationalPair discretise(float n0, float n1, float n2, float d1, float d2, float scale1, float scale2)
{
    const Polynomial plus{1.0f, 1.0f};
    const Polynomial minus{1.0f, -1.0f};
    const Polynomial plusSquared = plus * plus;
    const Polynomial cross = minus * plus;
    const Polynomial minusSquared = minus * minus;
    Polynomial numerator = plusSquared * n0 + cross * (n1 * scale1) + minusSquared * (n2 * scale2);
    Polynomial denominator = plusSquared + cross * (d1 * scale1) + minusSquared * (d2 * scale2);
    const float normalise = 1.0f / denominator[0];
    numerator *= normalise;
    denominator *= normalise;
    return {numerator, denominator};
}

} // namespace

BiquadCoefficients designBiquadAt(const BiquadCoefficients& c, std::int32_t sampleRate)
{
    // Analog prototype in s: u = s / (2 * 48000) substituted for the
    // digital variable's bilinear image.
    const Polynomial u{0.0f, static_cast<float>(1.0 / 96000.0)};
    const Polynomial plus = Polynomial{1.0f} + u;
    const Polynomial minus = Polynomial{1.0f} - u;
    Polynomial analogN = plus * plus * c.b0 + minus * plus * c.b1 + minus * minus * c.b2;
    Polynomial analogD = plus * plus + minus * plus * c.a1 + minus * minus * c.a2;
    const float normalise = 1.0f / analogD[0];
    analogN *= normalise;
    analogD *= normalise;

    // Bilinear transform at the target rate: s = K (1 - v) / (1 + v) with
    // K = 2 fs, multiplied through by (1 + v)^2.
    const auto k = static_cast<float>(2 * sampleRate);
    const RationalPair digital =
        discretise(coefficient(analogN, 0), coefficient(analogN, 1), coefficient(analogN, 2),
                     coefficient(analogD, 1), coefficient(analogD, 2), k, k * k);
    return {coefficient(digital.denominator, 1), coefficient(digital.denominator, 2),
            coefficient(digital.numerator, 0), coefficient(digital.numerator, 1), coefficient(digital.numerator, 2)};
}

} // namespace tarvel
