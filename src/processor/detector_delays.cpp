#include "processor/detector_delays.h"

#include <algorithm>

#include "parameters/engine_conversion.h"
#include "processor/engine/smoother_search.h"

namespace tarvel {

std::int32_t DetectorDelays::delayFor(std::int32_t sampleRate, float speed)
{
    auto known = std::find_if(rates.begin(), rates.end(),
                              [&](const RateDelays& entry) { return entry.sampleRate == sampleRate; });
    if (known == rates.end()) {
        if (rates.size() == ratesKept)
            rates.erase(rates.begin());
        SmootherChain work{};
        const std::int32_t fast = detectorSetting(sampleRate, fastIntegrationTime, work).delaySamples;
        const std::int32_t slow = detectorSetting(sampleRate, slowIntegrationTime, work).delaySamples;
        rates.push_back({sampleRate, fast, slow});
        known = rates.end() - 1;
    }
    return integrationTime(speed) == fastIntegrationTime ? known->fast : known->slow;
}

} // namespace tarvel
