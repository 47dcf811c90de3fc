#pragma once
// The plug-in's five parameters as normalised values in [0, 1].

#include <cstdint>

namespace tarvel {

enum ParameterId : std::int32_t {
    Bypass = 0,
    Speed = 1,
    Ratio = 2,
    StereoRatio = 3,
    Target = 4,
};

inline constexpr std::int32_t ParameterCount = 5;

// One normalised value per parameter, in id order. Values are kept as they
// arrive, unclamped; whoever derives a quantity from them clamps.
struct Parameters {
    static constexpr std::int32_t count = ParameterCount;
    float values[ParameterCount] = {0.0f, 1.0f, 0.5f, 0.0f, 0.5f};

    float& operator[](std::int32_t id) noexcept { return values[id]; }
    float operator[](std::int32_t id) const noexcept { return values[id]; }
    friend bool operator==(const Parameters&, const Parameters&) = default;
};

} // namespace tarvel
