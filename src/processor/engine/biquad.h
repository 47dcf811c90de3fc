#pragma once
// One second-order section in direct form I, single precision.

namespace tarvel {

// Coefficients with a0 = 1, in the order the design tables use.
struct BiquadCoefficients {
    float a1, a2, b0, b1, b2;
};

struct BiquadSection {
    BiquadCoefficients c{0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    float y1 = 0.0f, y2 = 0.0f, x1 = 0.0f, x2 = 0.0f;

    // y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] - a1 y[n-1] - a2 y[n-2]
    float process(float x) noexcept
    {
        const float y = c.b0 * x + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }

    void clearState() noexcept { y1 = y2 = x1 = x2 = 0.0f; }
};

} // namespace tarvel
