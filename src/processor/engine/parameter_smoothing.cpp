#include "processor/engine/parameter_smoothing.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "parameters/engine_conversion.h"

namespace tarvel {
namespace {

SmootherStage startedSmoother(float coefficient, float state) { return {state, coefficient}; }

} // namespace

ParameterSmoothing::ParameterSmoothing(std::int32_t sampleRate, const Parameters& start) noexcept
{
    lastNormalised.fill(std::numeric_limits<float>::quiet_NaN());
    const auto coefficient = static_cast<float>(100.0 / sampleRate);
    bypass = startedSmoother(coefficient, bypassState(start[Bypass]));
    ratio = startedSmoother(coefficient, mappingSlope(start[Ratio]));
    stereo = startedSmoother(coefficient, mappingSlope(start[StereoRatio]));
    target = startedSmoother(coefficient, targetLevel(start[Target]));
}

inline void ParameterSmoothing::refresh(std::int32_t id, float v) noexcept
{
    // A NaN cache never compares equal, so the first sample always converts.
    if (!(v == lastNormalised[static_cast<std::size_t>(id)])) {
        lastNormalised[static_cast<std::size_t>(id)] = v;
        quantity[static_cast<std::size_t>(id)] = engineQuantity(id, v);
    }
}

void ParameterSmoothing::advance(ParameterIntake& intake) noexcept
{
    intake.advance();
    for (std::int32_t id = 0; id < ParameterCount; ++id)
        refresh(id, static_cast<float>(intake.value(id)));
    bypass.step(quantity[Bypass]);
    ratio.step(quantity[Ratio]);
    stereo.step(quantity[StereoRatio]);
    target.step(quantity[Target]);
}

template <typename Convert>
void ParameterSmoothing::rampQuantities(ParameterRamp& ramp, std::int32_t id, std::int32_t count, float* out,
                                        Convert convert) noexcept
{
    float last = lastNormalised[static_cast<std::size_t>(id)];
    float q = quantity[static_cast<std::size_t>(id)];
    for (std::int32_t j = 0; j < count; ++j) {
        ramp.advance();
        const auto v = static_cast<float>(ramp.current());
        if (!(v == last)) {
            last = v;
            q = convert(v);
        }
        out[j] = q;
    }
    lastNormalised[static_cast<std::size_t>(id)] = last;
    quantity[static_cast<std::size_t>(id)] = q;
}

void ParameterSmoothing::smoothChunk(SmootherStage& smoother, std::int32_t id, bool constantInput,
                                     const float* quantities, std::int32_t count, float* out) noexcept
{
    if (!constantInput) {
        for (std::int32_t j = 0; j < count; ++j)
            out[j] = smoother.step(quantities[j]);
        return;
    }
    const float x = quantity[static_cast<std::size_t>(id)];
    SmootherStage probe = smoother;
    probe.step(x);
    // A smoother that has reached its fixed point in float stays there, bit
    // for bit, for as long as its input holds.
    if (std::bit_cast<std::uint32_t>(probe.state) == std::bit_cast<std::uint32_t>(smoother.state)) {
        std::fill_n(out, count, smoother.state);
        return;
    }
    for (std::int32_t j = 0; j < count; ++j)
        out[j] = smoother.step(x);
}

void ParameterSmoothing::advanceChunk(ParameterIntake& intake, std::int32_t count, ParameterChunk& out) noexcept
{
    count = std::clamp(count, 0, ParameterChunk::capacity);
    std::array<std::array<float, ParameterChunk::capacity>, ParameterCount> moving;
    std::array<bool, ParameterCount> constant{};
    for (std::int32_t id = 0; id < ParameterCount; ++id) {
        ParameterRamp& ramp = intake.ramp(id);
        const auto i = static_cast<std::size_t>(id);
        constant[i] = ramp.constantFor(count);
        if (constant[i]) {
            ramp.skip(count);
            refresh(id, static_cast<float>(ramp.current()));
            continue;
        }
        float* q = moving[i].data();
        switch (id) {
        case Bypass: rampQuantities(ramp, id, count, q, bypassState); break;
        case Speed: rampQuantities(ramp, id, count, q, tarvel::integrationTime); break;
        case Ratio:
        case StereoRatio: rampQuantities(ramp, id, count, q, mappingSlope); break;
        default: rampQuantities(ramp, id, count, q, targetLevel); break;
        }
    }

    smoothChunk(bypass, Bypass, constant[Bypass], moving[Bypass].data(), count, out.wet.data());
    for (std::int32_t j = 0; j < count; ++j)
        out.wet[static_cast<std::size_t>(j)] = 1.0f - out.wet[static_cast<std::size_t>(j)];
    smoothChunk(ratio, Ratio, constant[Ratio], moving[Ratio].data(), count, out.ratioSlope.data());
    smoothChunk(stereo, StereoRatio, constant[StereoRatio], moving[StereoRatio].data(), count,
                out.stereoSlope.data());
    smoothChunk(target, Target, constant[Target], moving[Target].data(), count, out.target.data());

    out.integrationTimeConstant = constant[Speed];
    if (constant[Speed])
        out.integrationTime[0] = quantity[Speed];
    else
        std::copy_n(moving[Speed].begin(), count, out.integrationTime.begin());
}

} // namespace tarvel
