#include "processor/engine/parameter_smoothing.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <limits>

#include "parameters/engine_conversion.h"
#include "processor/engine/lanes.h"
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
        quantity[static_cast<std::size_t>(id)] = engineQuantity(id, FloatLanes(v)).first();
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
    for (std::int32_t j = count; j < wholeLanes(count); ++j)
        values[static_cast<std::size_t>(j)] = values[static_cast<std::size_t>(count - 1)];
    for (std::int32_t j = 0; j < count; j += FloatLanes::width)
        engineQuantity(id, FloatLanes::load(values.data() + j)).store(out + j);
    lastNormalised[static_cast<std::size_t>(id)] = values[static_cast<std::size_t>(count - 1)];
    quantity[static_cast<std::size_t>(id)] = out[count - 1];
}

namespace {

// A smoother that has reached its fixed point in float stays there, bit for
// bit, for as long as its input holds.
bool settled(const SmootherStage& smoother, float input) noexcept
{
    SmootherStage probe = smoother;
    probe.step(input);
    return std::bit_cast<std::uint32_t>(probe.state) == std::bit_cast<std::uint32_t>(smoother.state);
}

// Four smoothers side by side, one per lane, for count samples: inputs[k]
// feeds stages[k], whose states go to outputs[k]. Each lane is the scalar
// step, operation for operation; in lanes the four recursions cost one.
void smoothInLanes(const std::array<SmootherStage*, 4>& stages, const std::array<const float*, 4>& inputs,
                   const std::array<float*, 4>& outputs, std::int32_t count) noexcept
{
    static_assert(FloatLanes::width == 4, "one smoother per lane");
    const FloatLanes take(stages[0]->coefficient, stages[1]->coefficient, stages[2]->coefficient,
                          stages[3]->coefficient);
    const FloatLanes keep = FloatLanes(1.0f) - take;
    FloatLanes state(stages[0]->state, stages[1]->state, stages[2]->state, stages[3]->state);
    const auto step = [&](FloatLanes x) {
        state = keep * state + take * x;
        return state;
    };
    std::int32_t j = 0;
    // Four samples at a time, turned from one row per smoother into one row
    // per sample and back.
    for (; j + 4 <= count; j += 4) {
        FloatLanes first = FloatLanes::loadUnaligned(inputs[0] + j), second = FloatLanes::loadUnaligned(inputs[1] + j);
        FloatLanes third = FloatLanes::loadUnaligned(inputs[2] + j), fourth = FloatLanes::loadUnaligned(inputs[3] + j);
        transpose(first, second, third, fourth);
        first = step(first);
        second = step(second);
        third = step(third);
        fourth = step(fourth);
        transpose(first, second, third, fourth);
        first.storeUnaligned(outputs[0] + j);
        second.storeUnaligned(outputs[1] + j);
        third.storeUnaligned(outputs[2] + j);
        fourth.storeUnaligned(outputs[3] + j);
    }
    alignas(16) float lanes[4];
    for (; j < count; ++j) {
        step(FloatLanes(inputs[0][j], inputs[1][j], inputs[2][j], inputs[3][j])).store(lanes);
        for (std::size_t k = 0; k < 4; ++k)
            outputs[k][j] = lanes[k];
    }
    state.store(lanes);
    for (std::size_t k = 0; k < 4; ++k)
        stages[k]->state = lanes[k];
}

} // namespace

void ParameterSmoothing::advanceChunk(ParameterIntake& intake, std::int32_t count, ParameterChunk& out) noexcept
{
    assert(count >= 0 && count <= ParameterChunk::capacity && "a chunk holds at most its capacity");
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

    // Bypass smoothed is 1 - wet; the conversion follows below.
    constexpr std::array<std::int32_t, 4> smoothed{Bypass, Ratio, StereoRatio, Target};
    const std::array<SmootherStage*, 4> stages{&bypass, &ratio, &stereo, &target};
    const std::array<float*, 4> outputs{out.wet.data(), out.ratioSlope.data(), out.stereoSlope.data(),
                                        out.target.data()};
    bool allSettled = true;
    for (std::size_t k = 0; k < 4; ++k) {
        const auto i = static_cast<std::size_t>(smoothed[k]);
        allSettled = allSettled && constant[i] && settled(*stages[k], quantity[i]);
    }
    if (allSettled) {
        for (std::size_t k = 0; k < 4; ++k)
            std::fill_n(outputs[k], count, stages[k]->state);
    } else {
        std::array<const float*, 4> inputs{};
        for (std::size_t k = 0; k < 4; ++k) {
            const auto i = static_cast<std::size_t>(smoothed[k]);
            if (constant[i])
                std::fill_n(moving[i].begin(), count, quantity[i]);
            inputs[k] = moving[i].data();
        }
        smoothInLanes(stages, inputs, outputs, count);
    }
    for (std::int32_t j = 0; j < count; ++j)
        out.wet[static_cast<std::size_t>(j)] = 1.0f - out.wet[static_cast<std::size_t>(j)];

    out.integrationTimeConstant = constant[Speed];
    if (constant[Speed])
        out.integrationTime[0] = quantity[Speed];
    else
        std::copy_n(moving[Speed].begin(), count, out.integrationTime.begin());
}

} // namespace tarvel
