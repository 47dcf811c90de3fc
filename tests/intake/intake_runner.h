#pragma once
// Drives a ParameterIntake block by block the way the engine does and
// records what one parameter's ramp yields at every sample.

#include <vector>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "processor/intake/parameter_intake.h"
#include "tools/host/parameter_changes.h"

namespace tarvel::test {

inline std::vector<double> runBlock(ParameterIntake& intake, Steinberg::Vst::IParameterChanges* changes,
                                    std::int32_t samples, std::int32_t id)
{
    Steinberg::Vst::ProcessData data{};
    data.numSamples = samples;
    data.inputParameterChanges = changes;
    intake.beginBlock(data);
    std::vector<double> values;
    for (std::int32_t i = 0; i < samples; ++i) {
        intake.advance();
        values.push_back(intake.value(id));
    }
    return values;
}

inline std::vector<double> runBlock(ParameterIntake& intake, std::int32_t samples, std::int32_t id)
{
    return runBlock(intake, nullptr, samples, id);
}

// One block's changes holding the given points for one parameter.
struct Points {
    std::int32_t offset;
    double value;
};

inline std::vector<double> runBlock(ParameterIntake& intake, std::int32_t samples, std::int32_t id,
                                    std::initializer_list<Points> points)
{
    host::ParameterChanges changes;
    for (const Points& p : points)
        changes.addPoint(static_cast<Steinberg::Vst::ParamID>(id), p.offset, p.value);
    return runBlock(intake, &changes, samples, id);
}

} // namespace tarvel::test
