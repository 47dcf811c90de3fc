#include "vst2/vst3_reference.h"

#include <stdexcept>

#include "pluginterfaces/base/ipluginbase.h"

namespace tarvel::test {

using namespace Steinberg;
using namespace Steinberg::Vst;

Vst3Reference::Vst3Reference(double sampleRate, int32 blockSize, bool doublePrecision,
                             const ParameterPoints& initialValues, int32 channels)
    : module(TARVEL_MODULE_PATH)
{
    IPtr<IPluginFactory> factory = owned(module.createFactory());
    PClassInfo info;
    if (!factory || factory->getClassInfo(0, &info) != kResultOk)
        throw std::runtime_error("no processor class");
    IComponent* created = nullptr;
    if (factory->createInstance(info.cid, IComponent::iid, reinterpret_cast<void**>(&created)) != kResultOk)
        throw std::runtime_error("processor not created");
    component = owned(created);
    processor = FUnknownPtr<IAudioProcessor>(component);
    if (!processor || component->initialize(nullptr) != kResultOk)
        throw std::runtime_error("processor not initialised");
    if (channels == 1) {
        SpeakerArrangement in = SpeakerArr::kMono, out = SpeakerArr::kMono;
        if (processor->setBusArrangements(&in, 1, &out, 1) != kResultTrue)
            throw std::runtime_error("processor refused mono");
    }
    setup = {kRealtime, doublePrecision ? kSample64 : kSample32, blockSize, sampleRate};
    start();
    if (!initialValues.empty()) {
        run(block.assembleEmpty(setup.symbolicSampleSize), initialValues);
        stop();
        start();
    }
}

Vst3Reference::~Vst3Reference()
{
    stop();
    component->terminate();
    processor = nullptr;
    component = nullptr;
}

void Vst3Reference::start()
{
    if (processor->setupProcessing(setup) != kResultOk || component->setActive(true) != kResultOk)
        throw std::runtime_error("processor refused the set-up");
    processor->setProcessing(true);
}

void Vst3Reference::stop()
{
    processor->setProcessing(false);
    component->setActive(false);
}

void Vst3Reference::run(ProcessData& data, const ParameterPoints& points)
{
    changes.clear();
    for (const auto& [id, value] : points)
        changes.addPoint(id, 0, value);
    data.inputParameterChanges = &changes;
    processor->process(data);
}

void Vst3Reference::process(float** inputs, float** outputs, int32 channels, int32 frames,
                            const ParameterPoints& points)
{
    run(block.assemble(inputs, outputs, channels, frames), points);
}

void Vst3Reference::process(double** inputs, double** outputs, int32 channels, int32 frames,
                            const ParameterPoints& points)
{
    run(block.assemble(inputs, outputs, channels, frames), points);
}

} // namespace tarvel::test
