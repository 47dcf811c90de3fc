#include "tools/render/k_weighting.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace tarvel::render {

namespace {

// The analog prototypes behind the 48 kHz coefficients BS.1770 publishes;
// designing from them (bilinear transform, pre-warped at the corner) gives
// the same curve at every rate.
constexpr double shelfCorner = 1681.974450955533;
constexpr double shelfGainDb = 3.999843853973347;
constexpr double shelfQ = 0.7071752369554196;
constexpr double highPassCorner = 38.13547087602444;
constexpr double highPassQ = 0.5003270373238773;
// The shelf's band gain is the square root of its high gain, nearly.
constexpr double shelfBandExponent = 0.4996667741545416;

} // namespace

KWeighting kWeightingFor(double sampleRate)
{
    if (!(sampleRate > 2.0 * shelfCorner * 1.1))
        throw std::invalid_argument("cannot measure loudness at " + std::to_string(sampleRate) + " Hz");
    KWeighting k{};
    {
        const double w = std::tan(std::numbers::pi * shelfCorner / sampleRate);
        const double high = std::pow(10.0, shelfGainDb / 20.0);
        const double band = std::pow(high, shelfBandExponent);
        const double norm = 1.0 + w / shelfQ + w * w;
        k.shelfB0 = (high + band * w / shelfQ + w * w) / norm;
        k.shelfB1 = 2.0 * (w * w - high) / norm;
        k.shelfB2 = (high - band * w / shelfQ + w * w) / norm;
        k.shelfA1 = 2.0 * (w * w - 1.0) / norm;
        k.shelfA2 = (1.0 - w / shelfQ + w * w) / norm;
    }
    {
        const double w = std::tan(std::numbers::pi * highPassCorner / sampleRate);
        const double norm = 1.0 + w / highPassQ + w * w;
        k.highPassA1 = 2.0 * (w * w - 1.0) / norm;
        k.highPassA2 = (1.0 - w / highPassQ + w * w) / norm;
    }
    return k;
}

} // namespace tarvel::render
