#include "processor/processor.h"

#include <cmath>

#include "foundation/scrambled_text.h"
#include "parameters/readout.h"
#include "pluginterfaces/base/ustring.h"
#include "protocol/messages.h"
#include "protocol/state_format.h"

namespace tarvel {

using namespace Steinberg;
using namespace Steinberg::Vst;

void Processor::addBuses(Processor& processor)
{
    const UString128 input(VANTLE_TEXT("Input").c_str());
    const UString128 output(VANTLE_TEXT("Output").c_str());
    processor.addAudioInput(input, SpeakerArr::kStereo);
    processor.addAudioOutput(output, SpeakerArr::kStereo);
}

uint32 PLUGIN_API Processor::getTailSamples()
{
    const double samples = processSetup.sampleRate * 30.0;
    return samples > 0.0 && samples < 4294967295.0 ? static_cast<uint32>(samples) : 0u;
}

std::optional<Parameters> Processor::readParameters(IBStream* stream)
{
    const std::optional<StateValues> values = readState(stream);
    if (!values)
        return std::nullopt;
    return toParameters(*values);
}

bool Processor::writeParameters(IBStream* stream, const Parameters& values)
{
    return writeState(stream, toStateValues(values), StateWriter::Processor);
}

void Processor::onStateLoaded() { recomputeLatency(parameters[Speed]); }

tresult Processor::handleMessage(IMessage* message)
{
    if (vantle::vst::isMessage(message, messages::speedChanged)) {
        double speed = 0.0;
        IAttributeList* attributes = message->getAttributes();
        if (!attributes || attributes->getFloat(messages::speedValue, speed) != kResultTrue)
            return kResultFalse;
        if (!(speed >= 0.0 && speed <= 1.0))
            return kResultFalse;
        adoptValue(Speed, static_cast<float>(speed));
        recomputeLatency(static_cast<float>(speed));
        return kResultOk;
    }
    if (vantle::vst::isMessage(message, messages::meterRequest)) {
        if (engine) {
            const double meter = engine->meterValue();
            const Readout readout =
                readoutFor(meter, engine->sideToMidRatio(), currentParameters(), engine->config().channelCount == 2);
            vantle::vst::sendToPeer(*this, messages::meterReading, [&](IAttributeList& a) {
                a.setFloat(messages::meterValue, meter);
                a.setFloat(messages::outputValue, readout.output);
                a.setFloat(messages::gainValue, readout.gain);
                a.setFloat(messages::sideGainValue, readout.sideGain);
                a.setInt(messages::stereoFlag, readout.stereo ? 1 : 0);
            });
        }
        return kResultOk;
    }
    return kNotImplemented;
}

void Processor::recomputeLatency(float speed)
{
    if (outputChannelCount() <= 0)
        return;
    latencySamples = detectorDelays.delayFor(static_cast<int32>(processSetup.sampleRate), speed);
    vantle::vst::sendToPeer(*this, vantle::vst::messages::latencyChanged);
}

} // namespace tarvel
