#include "parameters/plain_values.h"

#include <cmath>

#include "parameters/engine_conversion.h"

namespace tarvel {

PlainRange plainRange(std::int32_t id) noexcept
{
    switch (id) {
    case Ratio:
    case StereoRatio: return {1.0, 4.0};
    case Target: return {-40.0, 0.0};
    default: return {0.0, 1.0};
    }
}

double plainFromNormalised(std::int32_t id, double normalised) noexcept
{
    const auto v = static_cast<float>(normalised);
    switch (id) {
    case Ratio:
    case StereoRatio: return static_cast<double>(ratioDisplayValue(v));
    case Target: return static_cast<double>(targetLevel(v));
    default: return static_cast<double>(clampNormalised(v));
    }
}

double normalisedFromPlain(std::int32_t id, double plain) noexcept
{
    const PlainRange range = plainRange(id);
    const double p = plain > range.minimum ? (plain < range.maximum ? plain : range.maximum) : range.minimum;
    switch (id) {
    case Ratio:
    case StereoRatio: return std::log(p) / std::log(4.0);
    case Target: return 1.0 + p / 40.0;
    default: return p;
    }
}

} // namespace tarvel
