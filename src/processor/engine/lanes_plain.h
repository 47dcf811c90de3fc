#pragma once
// The lane types in plain C++: each operation is the one-value operation
// applied to every lane in turn, which is what the SSE2 form computes lane by
// lane, so both give the same bits (with contraction of multiply-adds off, as
// the build has it). The compiler may vectorise the loops for the machine it
// builds for. Included through lanes.h only.

#include <cstdint>
#include <cstring>

namespace tarvel {

// All bits set in the lanes where a comparison holds.
struct LaneMask {
    bool set[4];
};

struct FloatLanes {
    static constexpr std::int32_t width = 4;

    float v[width];

    FloatLanes() noexcept : v{0.0f, 0.0f, 0.0f, 0.0f} {}
    // The same value in every lane.
    explicit FloatLanes(float x) noexcept : v{x, x, x, x} {}
    FloatLanes(float first, float second, float third, float fourth) noexcept : v{first, second, third, fourth} {}

    // From and to 16-byte aligned addresses, and from and to any address.
    static FloatLanes load(const float* p) noexcept { return FloatLanes(p[0], p[1], p[2], p[3]); }
    static FloatLanes loadUnaligned(const float* p) noexcept { return load(p); }
    void store(float* p) const noexcept { std::memcpy(p, v, sizeof v); }
    void storeUnaligned(float* p) const noexcept { store(p); }

    float first() const noexcept { return v[0]; }
    float lane(std::int32_t i) const noexcept { return v[i]; }
};

template <typename Operation>
inline FloatLanes eachLane(FloatLanes a, FloatLanes b, Operation operation) noexcept
{
    return FloatLanes(operation(a.v[0], b.v[0]), operation(a.v[1], b.v[1]), operation(a.v[2], b.v[2]),
                      operation(a.v[3], b.v[3]));
}
template <typename Comparison>
inline LaneMask compareLanes(FloatLanes a, FloatLanes b, Comparison comparison) noexcept
{
    return {{comparison(a.v[0], b.v[0]), comparison(a.v[1], b.v[1]), comparison(a.v[2], b.v[2]),
             comparison(a.v[3], b.v[3])}};
}

inline FloatLanes operator+(FloatLanes a, FloatLanes b) noexcept
{
    return eachLane(a, b, [](float x, float y) { return x + y; });
}
inline FloatLanes operator-(FloatLanes a, FloatLanes b) noexcept
{
    return eachLane(a, b, [](float x, float y) { return x - y; });
}
inline FloatLanes operator*(FloatLanes a, FloatLanes b) noexcept
{
    return eachLane(a, b, [](float x, float y) { return x * y; });
}
inline FloatLanes operator/(FloatLanes a, FloatLanes b) noexcept
{
    return eachLane(a, b, [](float x, float y) { return x / y; });
}

inline LaneMask operator<(FloatLanes a, FloatLanes b) noexcept
{
    return compareLanes(a, b, [](float x, float y) { return x < y; });
}
inline LaneMask operator>(FloatLanes a, FloatLanes b) noexcept
{
    return compareLanes(a, b, [](float x, float y) { return x > y; });
}
inline LaneMask operator>=(FloatLanes a, FloatLanes b) noexcept
{
    return compareLanes(a, b, [](float x, float y) { return x >= y; });
}
// Not a < b: also where either is NaN.
inline LaneMask notLess(FloatLanes a, FloatLanes b) noexcept
{
    return compareLanes(a, b, [](float x, float y) { return !(x < y); });
}
inline LaneMask operator|(LaneMask a, LaneMask b) noexcept
{
    return {{a.set[0] || b.set[0], a.set[1] || b.set[1], a.set[2] || b.set[2], a.set[3] || b.set[3]}};
}
inline bool any(LaneMask mask) noexcept { return mask.set[0] || mask.set[1] || mask.set[2] || mask.set[3]; }

// ifSet where mask is set, otherwise elsewhere.
inline FloatLanes select(LaneMask mask, FloatLanes ifSet, FloatLanes otherwise) noexcept
{
    FloatLanes result;
    for (std::int32_t i = 0; i < FloatLanes::width; ++i)
        result.v[i] = mask.set[i] ? ifSet.v[i] : otherwise.v[i];
    return result;
}

// a < b ? a : b and a > b ? a : b in each lane: b where either is NaN, as
// the one-value forms in parameters/value_operations.h.
inline FloatLanes minimum(FloatLanes a, FloatLanes b) noexcept
{
    return eachLane(a, b, [](float x, float y) { return x < y ? x : y; });
}
inline FloatLanes maximum(FloatLanes a, FloatLanes b) noexcept
{
    return eachLane(a, b, [](float x, float y) { return x > y ? x : y; });
}

// Rearrangements, named (a0 a1 a2 a3), (b0 b1 b2 b3) lane by lane.

// (p[0] p[1] 0 0) from an address aligned to 8 bytes or not at all.
inline FloatLanes loadPair(const float* p) noexcept { return FloatLanes(p[0], p[1], 0.0f, 0.0f); }
// Lanes 2 and 3 to p[0] and p[1].
inline void storeHighPair(float* p, FloatLanes x) noexcept
{
    p[0] = x.v[2];
    p[1] = x.v[3];
}
// (a0 a1 b2 b3)
inline FloatLanes lowThenHigh(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(a.v[0], a.v[1], b.v[2], b.v[3]); }
// (a2 a3 b0 b1)
inline FloatLanes highThenLow(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(a.v[2], a.v[3], b.v[0], b.v[1]); }
// (a0 a1 b0 b1)
inline FloatLanes lowOfBoth(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(a.v[0], a.v[1], b.v[0], b.v[1]); }
// (a0 a2 b0 b2) and (a1 a3 b1 b3): pairs taken apart.
inline FloatLanes evenLanes(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(a.v[0], a.v[2], b.v[0], b.v[2]); }
inline FloatLanes oddLanes(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(a.v[1], a.v[3], b.v[1], b.v[3]); }
// Four rows of four become four columns.
inline void transpose(FloatLanes& a, FloatLanes& b, FloatLanes& c, FloatLanes& d) noexcept
{
    const FloatLanes rows[4] = {a, b, c, d};
    FloatLanes* columns[4] = {&a, &b, &c, &d};
    for (std::int32_t column = 0; column < 4; ++column)
        *columns[column] = FloatLanes(rows[0].v[column], rows[1].v[column], rows[2].v[column], rows[3].v[column]);
}

// Four doubles.
struct DoubleLanes {
    double v[4];

    // Four consecutive doubles at a 16-byte aligned address.
    static DoubleLanes load(const double* p) noexcept { return {{p[0], p[1], p[2], p[3]}}; }
    void store(double* p) const noexcept { std::memcpy(p, v, sizeof v); }
};

template <typename Operation>
inline DoubleLanes eachLane(DoubleLanes a, DoubleLanes b, Operation operation) noexcept
{
    return {{operation(a.v[0], b.v[0]), operation(a.v[1], b.v[1]), operation(a.v[2], b.v[2]),
             operation(a.v[3], b.v[3])}};
}

// Four floats widened, and narrowed back with one rounding each.
inline DoubleLanes widen(FloatLanes x) noexcept
{
    return {{static_cast<double>(x.v[0]), static_cast<double>(x.v[1]), static_cast<double>(x.v[2]),
             static_cast<double>(x.v[3])}};
}
inline FloatLanes narrow(DoubleLanes x) noexcept
{
    return FloatLanes(static_cast<float>(x.v[0]), static_cast<float>(x.v[1]), static_cast<float>(x.v[2]),
                      static_cast<float>(x.v[3]));
}

inline DoubleLanes operator+(DoubleLanes a, DoubleLanes b) noexcept
{
    return eachLane(a, b, [](double x, double y) { return x + y; });
}
inline DoubleLanes operator-(DoubleLanes a, DoubleLanes b) noexcept
{
    return eachLane(a, b, [](double x, double y) { return x - y; });
}
inline DoubleLanes operator*(DoubleLanes a, DoubleLanes b) noexcept
{
    return eachLane(a, b, [](double x, double y) { return x * y; });
}
inline DoubleLanes operator/(DoubleLanes a, DoubleLanes b) noexcept
{
    return eachLane(a, b, [](double x, double y) { return x / y; });
}
// With a constant on either side, in the order written.
inline DoubleLanes broadcast(double x) noexcept { return {{x, x, x, x}}; }
inline DoubleLanes operator+(DoubleLanes a, double b) noexcept { return a + broadcast(b); }
inline DoubleLanes operator-(DoubleLanes a, double b) noexcept { return a - broadcast(b); }
inline DoubleLanes operator*(DoubleLanes a, double b) noexcept { return a * broadcast(b); }
inline DoubleLanes operator+(double a, DoubleLanes b) noexcept { return broadcast(a) + b; }
inline DoubleLanes operator-(double a, DoubleLanes b) noexcept { return broadcast(a) - b; }
inline DoubleLanes operator*(double a, DoubleLanes b) noexcept { return broadcast(a) * b; }

// As SSE2's minimum and maximum: b where either is NaN.
inline DoubleLanes minimum(DoubleLanes a, double b) noexcept
{
    return eachLane(a, broadcast(b), [](double x, double y) { return x < y ? x : y; });
}
inline DoubleLanes maximum(DoubleLanes a, double b) noexcept
{
    return eachLane(a, broadcast(b), [](double x, double y) { return x > y ? x : y; });
}

// Two doubles: a stereo frame in double precision.
struct DoublePair {
    double v[2];

    DoublePair() noexcept : v{0.0, 0.0} {}
    // The same value in both lanes.
    explicit DoublePair(double x) noexcept : v{x, x} {}
    DoublePair(double first, double second) noexcept : v{first, second} {}

    static DoublePair loadUnaligned(const double* p) noexcept { return DoublePair(p[0], p[1]); }
    double lane(std::int32_t i) const noexcept { return v[i]; }
};

inline DoublePair operator+(DoublePair a, DoublePair b) noexcept { return DoublePair(a.v[0] + b.v[0], a.v[1] + b.v[1]); }
inline DoublePair operator-(DoublePair a, DoublePair b) noexcept { return DoublePair(a.v[0] - b.v[0], a.v[1] - b.v[1]); }
inline DoublePair operator*(DoublePair a, DoublePair b) noexcept { return DoublePair(a.v[0] * b.v[0], a.v[1] * b.v[1]); }
// x < 0 ? -x : x in each lane.
inline DoublePair magnitude(DoublePair x) noexcept
{
    return DoublePair(x.v[0] < 0.0 ? -x.v[0] : x.v[0], x.v[1] < 0.0 ? -x.v[1] : x.v[1]);
}
// a > b ? a : b in each lane.
inline DoublePair maximum(DoublePair a, DoublePair b) noexcept
{
    return DoublePair(a.v[0] > b.v[0] ? a.v[0] : b.v[0], a.v[1] > b.v[1] ? a.v[1] : b.v[1]);
}
// 0 where the magnitude is below the limit, else x.
inline DoublePair zeroBelow(DoublePair x, double limit) noexcept
{
    const DoublePair size = magnitude(x);
    return DoublePair(size.v[0] < limit ? 0.0 : x.v[0], size.v[1] < limit ? 0.0 : x.v[1]);
}

// The bit patterns of four doubles, as 64-bit integer lanes.
struct LaneBits {
    std::uint64_t v[4];
};

template <typename Operation>
inline LaneBits eachLane(LaneBits a, Operation operation) noexcept
{
    return {{operation(a.v[0]), operation(a.v[1]), operation(a.v[2]), operation(a.v[3])}};
}

inline LaneBits bitsOf(DoubleLanes x) noexcept
{
    LaneBits bits;
    std::memcpy(bits.v, x.v, sizeof bits.v);
    return bits;
}
inline DoubleLanes doublesOf(LaneBits x) noexcept
{
    DoubleLanes doubles;
    std::memcpy(doubles.v, x.v, sizeof doubles.v);
    return doubles;
}
inline LaneBits operator|(LaneBits a, std::uint64_t b) noexcept
{
    return eachLane(a, [b](std::uint64_t x) { return x | b; });
}
inline LaneBits operator&(LaneBits a, std::uint64_t b) noexcept
{
    return eachLane(a, [b](std::uint64_t x) { return x & b; });
}
// Integer addition, modulo 2^64.
inline LaneBits operator+(LaneBits a, std::uint64_t b) noexcept
{
    return eachLane(a, [b](std::uint64_t x) { return x + b; });
}
template <int Count>
LaneBits shiftRight(LaneBits a) noexcept
{
    return eachLane(a, [](std::uint64_t x) { return x >> Count; });
}
template <int Count>
LaneBits shiftLeft(LaneBits a) noexcept
{
    return eachLane(a, [](std::uint64_t x) { return x << Count; });
}

} // namespace tarvel
