#pragma once
// The latency each Speed gives at a sample rate, found by the engine's own
// detector search but without building an engine, and kept per sample rate,
// so a Speed switch after the first costs a lookup.

#include <cstdint>
#include <vector>

namespace tarvel {

class DetectorDelays {
public:
    // The delaySamples of an engine built at sampleRate with this normalised
    // Speed. Searches both settings the first time a rate is asked for.
    std::int32_t delayFor(std::int32_t sampleRate, float speed);

private:
    struct RateDelays {
        std::int32_t sampleRate;
        std::int32_t fast;
        std::int32_t slow;
    };
    // Hosts switch between a handful of rates at most; beyond this many the
    // oldest is searched again if it comes back.
    static constexpr std::size_t ratesKept = 8;

    std::vector<RateDelays> rates;
};

} // namespace tarvel
