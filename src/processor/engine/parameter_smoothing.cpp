#include "processor/engine/parameter_smoothing.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "parameters/engine_conversion.h"
#include "processor/engine/quantity_lanes.h"

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

void ParameterSmoothing::refreshInLanes(std::int32_t id, float v) noexcept
{
    if (!(v == lastNormalised[static_cast<std::size_t>(id)])) {
        lastNormalised[static_cast<std::size_t>(id)] = v;
        quantity[static_cast<std::size_t>(id)] = _mm_cvtss_f32(engineQuantityLanes(id, _mm_set1_ps(v)));
    }
}

void ParameterSmoothing::rampQuantities(ParameterRamp& ramp, std::int32_t id, std::int32_t count,
                                        float* out) noexcept
{
    // The values first, one dependent addition after another; then the
    // conversions, four at a time. Converting every sample gives what
    // converting only the changed ones gives, since equal values convert
    // equally.
    alignas(16) std::array<float, ParameterChunk::capacity> values;
    for (std::int32_t j = 0; j < count; ++j) {
        ramp.advance();
        values[static_cast<std::size_t>(j)] = static_cast<float>(ramp.current());
    }
    for (std::int32_t j = count; j < ((count + 3) & ~3); ++j)
        values[static_cast<std::size_t>(j)] = values[static_cast<std::size_t>(count - 1)];
    for (std::int32_t j = 0; j < count; j += 4)
        _mm_store_ps(out + j, engineQuantityLanes(id, _mm_load_ps(values.data() + j)));
    lastNormalised[static_cast<std::size_t>(id)] = values[static_cast<std::size_t>(count - 1)];
    quantity[static_cast<std::size_t>(id)] = out[count - 1];
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
    if (count == 0)
        return;
    alignas(16) std::array<std::array<float, ParameterChunk::capacity>, ParameterCount> moving;
    std::array<bool, ParameterCount> constant{};
    for (std::int32_t id = 0; id < ParameterCount; ++id) {
        ParameterRamp& ramp = intake.ramp(id);
        const auto i = static_cast<std::size_t>(id);
        constant[i] = ramp.constantFor(count);
        if (constant[i]) {
            ramp.skip(count);
            refreshInLanes(id, static_cast<float>(ramp.current()));
            continue;
        }
        rampQuantities(ramp, id, count, moving[i].data());
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
