#include "tools/render/loudness_statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarvel::render {

namespace {

constexpr std::size_t gatingBlockSteps = 4; // 400 ms
constexpr std::size_t shortTermSteps = 30;  // 3 s
constexpr std::size_t rangeHopSteps = 10;   // 1 s
constexpr double absoluteGateLufs = -70.0;
constexpr double integratedRelativeGate = 0.1; // -10 LU, as an energy ratio
constexpr double rangeRelativeGate = 0.01;     // -20 LU
// BS.1770's offset, which makes a 997 Hz sine at full scale on one channel
// read -3.01 LUFS.
constexpr double loudnessOffset = -0.691;

double energyOfLoudness(double lufs)
{
    return std::pow(10.0, (lufs - loudnessOffset) / 10.0);
}

double meanOf(const std::vector<double>& energies, std::size_t first, std::size_t count)
{
    double sum = 0.0;
    for (std::size_t i = first; i < first + count; ++i)
        sum += energies[i];
    return sum / static_cast<double>(count);
}

double mean(const std::vector<double>& values)
{
    return meanOf(values, 0, values.size());
}

// The energies of windows of `length` steps ending every `hop` steps from
// the first full window on, keeping those at or above the absolute gate.
std::vector<double> gatedWindows(const std::vector<double>& energies, std::size_t length, std::size_t hop)
{
    const double absoluteGate = energyOfLoudness(absoluteGateLufs);
    std::vector<double> windows;
    for (std::size_t end = length; end <= energies.size(); end += hop) {
        const double energy = meanOf(energies, end - length, length);
        if (energy >= absoluteGate)
            windows.push_back(energy);
    }
    return windows;
}

} // namespace

double loudnessOfEnergy(double energy)
{
    if (!(energy > 0.0))
        return -std::numeric_limits<double>::infinity();
    return 10.0 * std::log10(energy) + loudnessOffset;
}

double integratedLoudness(const std::vector<double>& energies)
{
    const std::vector<double> blocks = gatedWindows(energies, gatingBlockSteps, 1);
    if (blocks.empty())
        return -std::numeric_limits<double>::infinity();
    const double relativeGate = mean(blocks) * integratedRelativeGate;
    double sum = 0.0;
    std::size_t count = 0;
    for (double energy : blocks)
        if (energy >= relativeGate) {
            sum += energy;
            ++count;
        }
    return count ? loudnessOfEnergy(sum / static_cast<double>(count)) : -std::numeric_limits<double>::infinity();
}

double loudnessRange(const std::vector<double>& energies)
{
    std::vector<double> blocks = gatedWindows(energies, shortTermSteps, rangeHopSteps);
    if (blocks.empty())
        return 0.0;
    std::sort(blocks.begin(), blocks.end());
    const double relativeGate = mean(blocks) * rangeRelativeGate;
    const auto first = std::lower_bound(blocks.begin(), blocks.end(), relativeGate);
    const auto count = static_cast<std::size_t>(blocks.end() - first);
    if (count == 0)
        return 0.0;
    // The percentiles' ranks rounded to the nearest block.
    const auto rank = [count](double percentile) {
        return static_cast<std::ptrdiff_t>(static_cast<double>(count - 1) * percentile + 0.5);
    };
    const double low = first[rank(0.10)];
    const double high = first[rank(0.95)];
    return loudnessOfEnergy(high) - loudnessOfEnergy(low);
}

std::vector<double> shortTermLevels(const std::vector<double>& energies, WindowStart start)
{
    std::vector<double> levels;
    levels.reserve(energies.size());
    for (std::size_t end = 1; end <= energies.size(); ++end) {
        const std::size_t first = end > shortTermSteps ? end - shortTermSteps : 0;
        double sum = 0.0;
        for (std::size_t i = first; i < end; ++i)
            sum += energies[i];
        const std::size_t counted = start == WindowStart::silenceBefore ? shortTermSteps : end - first;
        levels.push_back(loudnessOfEnergy(sum / static_cast<double>(counted)));
    }
    return levels;
}

} // namespace tarvel::render
