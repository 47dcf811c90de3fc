#include "parameters/mapping_curve.h"

#include "parameters/engine_conversion.h"
#include "parameters/loudness_mapping.h"

#include <algorithm>

namespace tarvel {

double mappedLevel(double input, float targetNormalised, float ratioNormalised)
{
    return mappedLoudness(input, double(targetLevel(targetNormalised)), double(mappingSlope(ratioNormalised)));
}

std::vector<LevelPoint> mappingCurvePoints(float targetNormalised, float ratioNormalised)
{
    const auto point = [&](double input) { return LevelPoint{input, mappedLevel(input, targetNormalised, ratioNormalised)}; };
    const double knee = double(targetLevel(targetNormalised)) - double(mappingRange);
    std::vector<LevelPoint> points{point(curveStartLevel)};
    if (knee > curveStartLevel)
        points.push_back(point(knee));
    points.push_back(point(curveEndLevel));
    return points;
}

double mappingTargetLevel(float targetNormalised) { return static_cast<double>(targetLevel(targetNormalised)); }

double levelMarker(double meterValue, bool processorActive)
{
    const double level = processorActive ? meterValue : -1000.0;
    return std::clamp(level, markerFloor, 0.0);
}

} // namespace tarvel
