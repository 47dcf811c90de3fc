#include "controller/controller.h"

#include <cmath>

#include "protocol/messages.h"

namespace tarvel {

using namespace Steinberg;
using namespace Steinberg::Vst;

tresult PLUGIN_API Controller::setParamNormalized(ParamID id, ParamValue value)
{
    return vantle::vst::guarded([&]() -> Steinberg::tresult {
        const tresult result = ControllerBase::setParamNormalized(id, value);
        if (id != Speed)
            return result;
        // The value as held, within 0..1: a state or a host may hand over
        // any number, and the processor takes the Speed it is sent as its
        // own, so it must hear the value the controller shows and saves.
        // Not a number: nothing to tell.
        const double held = getParamNormalized(Speed);
        if (std::isnan(held) || held == static_cast<double>(lastSpeedValue))
            return result;
        // The processor recomputes its latency for the new Speed.
        vantle::vst::sendToPeer(*this, messages::speedChanged,
                                [&](IAttributeList& a) { a.setFloat(messages::speedValue, held); });
        lastSpeedValue = static_cast<float>(held);
        return result;
    });
}

tresult PLUGIN_API Controller::notify(IMessage* message)
{
    return vantle::vst::guarded([&]() -> Steinberg::tresult {
        if (!message)
            return kInvalidArgument;
        if (!vantle::vst::isMessage(message, messages::meterReading))
            return ControllerBase::notify(message);
        double reading = 0.0;
        auto* attributes = message->getAttributes();
        if (!attributes || attributes->getFloat(messages::meterValue, reading) != kResultTrue)
            return kResultFalse;
        meter.store(reading);
        // The readout: where it is missing, the output is the input.
        double value = reading;
        attributes->getFloat(messages::outputValue, value);
        output.store(value);
        value = 0.0;
        attributes->getFloat(messages::gainValue, value);
        gain.store(value);
        value = 0.0;
        attributes->getFloat(messages::sideGainValue, value);
        sideGain.store(value);
        int64 stereoReading = 0;
        attributes->getInt(messages::stereoFlag, stereoReading);
        stereo.store(stereoReading != 0);
        return kResultOk;
    });
}

Readout Controller::readout() const
{
    Readout current;
    current.input = meter.load();
    current.output = output.load();
    current.gain = gain.load();
    current.sideGain = sideGain.load();
    current.stereo = stereo.load();
    return current;
}

} // namespace tarvel
