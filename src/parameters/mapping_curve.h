#pragma once
// The static loudness mapping as the editor's graph shows it: the curve's
// corner points for the current Target and Ratio, and where the level marker
// sits. Shared by the editor and the tools that draw the same graph, so all
// of them show one curve.

#include <vector>

namespace tarvel {

struct LevelPoint {
    double input = 0;  // input level, LUFS
    double output = 0; // output level, LUFS
    friend bool operator==(const LevelPoint&, const LevelPoint&) = default;
};

// Below target - 40 the mapping runs parallel to the identity line (the
// compressor lifts quiet passages by at most 40 (1 - 1/ratio)); above it the
// slope is 1/ratio through (target, target).
double mappedLevel(double input, float targetNormalised, float ratioNormalised);

// The curve from input -68 to +8 (a little beyond the graph on both sides,
// so the graph's clip cuts it): two or three points, the knee included when
// it lies inside that span.
std::vector<LevelPoint> mappingCurvePoints(float targetNormalised, float ratioNormalised);

// The target level the graph's cross-hair marks, as a double.
double mappingTargetLevel(float targetNormalised);

// The marker's level: the processor's reading while it is active (else
// -1000), clamped to the graph's range -60..0.
double levelMarker(double meterValue, bool processorActive);

inline constexpr double curveStartLevel = -68.0;
inline constexpr double curveEndLevel = 8.0;
inline constexpr double markerFloor = -60.0;

} // namespace tarvel
