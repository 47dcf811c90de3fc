#pragma once
// The plug-in's VST 3 edit controller.

#include <atomic>

#include "editor/editor.h"
#include "editor/loudness_reading.h"
#include "framework/controller_base.h"
#include "parameters/display_values.h"
#include "parameters/parameter_table.h"
#include "parameters/parameters.h"
#include "protocol/state_format.h"

namespace tarvel {

class Controller : public vantle::vst::ControllerBase<Controller, Parameters, Editor>, public LoudnessReading {
public:
    using StateValues = tarvel::StateValues;

    Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID id,
                                                     Steinberg::Vst::ParamValue value) override;
    Steinberg::tresult PLUGIN_API notify(Steinberg::Vst::IMessage* message) override;

    // The processor's latest loudness reading and its activity, for the
    // editor.
    double meterValue() const override { return meter.load(); }
    bool isProcessorActive() const override { return ControllerBase::isProcessorActive(); }
    Readout readout() const override;

    // Hooks for the framework base.
    static const auto& parameterDescriptions() { return parameterTable(); }
    static std::string displayText(Steinberg::int32 id, double value) { return tarvel::displayText(id, value); }
    static std::optional<double> valueFromText(Steinberg::int32 id, const std::string& text)
    {
        return normalisedFromDisplay(static_cast<std::uint32_t>(id), text);
    }
    static std::optional<StateValues> readValues(Steinberg::IBStream* stream) { return readState(stream); }
    static bool writeValues(Steinberg::IBStream* stream, const StateValues& values)
    {
        return writeState(stream, values, StateWriter::Controller);
    }

private:
    std::atomic<double> meter{-1000.0};
    std::atomic<double> output{-1000.0}, gain{0.0}, sideGain{0.0};
    std::atomic<bool> stereo{false};
    // Outside [0, 1], so the first Speed value always counts as a change.
    float lastSpeedValue = -1.0f;
};

} // namespace tarvel
