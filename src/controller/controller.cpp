#include "controller/controller.h"

#include <cmath>

#include "processor/messages.h"

namespace tarvel {

using namespace Steinberg;
using namespace Steinberg::Vst;

tresult PLUGIN_API Controller::setParamNormalized(ParamID id, ParamValue value)
{
    return vantle::vst::guarded([&]() -> Steinberg::tresult {
        const tresult result = ControllerBase::setParamNormalized(id, value);
        if (id != Speed)
            return result;
        const auto last = static_cast<double>(lastSpeedValue);
        if (value == last)
            return result;
        // The processor recomputes its latency for the new Speed.
        vantle::vst::sendToPeer(*this, messages::speedChanged,
                                [&](IAttributeList& a) { a.setFloat(messages::speedValue, value); });
        lastSpeedValue = static_cast<float>(value);
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
        return kResultOk;
    });
}

} // namespace tarvel
