#include "processor/engine/smoother_search.h"

#include <algorithm>
#include <cmath>

namespace tarvel {
namespace {

void prepare(SmootherChain& chain, float coefficient)
{
    for (auto& stage : chain) {
        stage.coefficient = coefficient;
        stage.state = 0.0f;
    }
}

double impulsePeak(SmootherChain& chain)
{
    float y = stepChain(chain, 1.0f);
    if (y <= 0.0f)
        return 0.0;
    double peak = static_cast<double>(y);
    for (;;) {
        y = stepChain(chain, 0.0f);
        if (!(static_cast<double>(y) > peak))
            return peak;
        peak = static_cast<double>(y);
    }
}

// Samples after the impulse until half of the response's area has passed.
std::int32_t medianDelay(SmootherChain& chain)
{
    constexpr std::int32_t maxZeros = 44100;
    for (auto& stage : chain)
        stage.state = 0.0f;
    stepChain(chain, 1.0f);
    double area = 0.0;
    std::int32_t count = 0;
    while (area < 0.5 && count < maxZeros) {
        area += static_cast<double>(stepChain(chain, 0.0f));
        ++count;
    }
    return std::max(count, 1);
}

} // namespace

float windowPeak(std::int32_t sampleRate, float integrationTime)
{
    const float product = static_cast<float>(sampleRate) * integrationTime;
    const auto peak = static_cast<float>(1.0 / (static_cast<double>(product) + 1e-30));
    return std::min(peak, 1.0f);
}

SmootherSetting findSmootherCoefficient(float peak, SmootherChain& chain)
{
    double lower = 1e-40;
    double step = 1.0;
    double bestError = 1e300;
    double best = 1.0;
    std::int32_t bestDelay = 0;
    for (int iteration = 0; iteration < 100; ++iteration) {
        prepare(chain, static_cast<float>(lower + step));
        const double height = impulsePeak(chain);
        const std::int32_t delay = medianDelay(chain);
        if (height > static_cast<double>(peak))
            step /= 2.0;
        else
            lower += step;
        const double error = std::abs(height - static_cast<double>(peak)) / (static_cast<double>(peak) + 1e-40);
        if (error < bestError) {
            bestError = error;
            best = lower;
            bestDelay = delay;
        }
    }
    return {static_cast<float>(best), bestDelay};
}

} // namespace tarvel
