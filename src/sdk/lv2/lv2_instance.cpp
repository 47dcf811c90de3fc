#include "sdk/lv2/lv2_instance.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Steinberg::Vst {

std::unique_ptr<Lv2Instance> Lv2Instance::create(const Lv2PluginDescription& description, IPluginFactory* factory,
                                                 const TUID processorClass, double sampleRate)
{
    IPtr<IPluginFactory> owner = owned(factory);
    if (!factory || !processorClass || !(sampleRate > 0.0) || description.channels < 1 || description.channels > 2)
        return nullptr;
    std::unique_ptr<Lv2Instance> instance(new Lv2Instance(description, owner, sampleRate));
    if (!instance->createProcessor(processorClass))
        return nullptr;
    return instance;
}

Lv2Instance::Lv2Instance(const Lv2PluginDescription& plugin, IPluginFactory* pluginFactory, double rate)
    : description(plugin), layout(plugin), sampleRate(rate), factory(pluginFactory),
      ports(layout.count(), nullptr), heardValues(plugin.parameters.size(), std::nanf("")),
      changes(std::make_unique<Vst2BlockParameterChanges>(static_cast<int32>(plugin.parameters.size())))
{
    for (std::size_t i = 0; i < plugin.parameters.size(); ++i)
        if (plugin.parameters[i].decidesLatency)
            latencyPortIndex = static_cast<std::int32_t>(i);
}

Lv2Instance::~Lv2Instance()
{
    if (active)
        stop();
    if (processorConnection)
        processorConnection->disconnect(&peer);
    if (component)
        component->terminate();
    processor = nullptr;
    component = nullptr;
}

bool Lv2Instance::createProcessor(const TUID processorClass)
{
    IComponent* created = nullptr;
    if (factory->createInstance(processorClass, IComponent::iid, reinterpret_cast<void**>(&created)) != kResultOk ||
        !created)
        return false;
    component = owned(created);
    processor = FUnknownPtr<IAudioProcessor>(component);
    if (!processor || component->initialize(static_cast<IHostApplication*>(&peer)) != kResultOk)
        return false;
    if (description.reading) {
        processorConnection = FUnknownPtr<IConnectionPoint>(component);
        if (!processorConnection || processorConnection->connect(&peer) != kResultTrue)
            return false;
        if (description.reading->values.size() > Lv2ReadingPort::maxValues)
            return false;
        peer.expectReading(description.reading->readingMessage.c_str(), description.reading->values);
        readingRequest.setMessageID(description.reading->requestMessage.c_str());
    }
    SpeakerArrangement arrangement = description.channels == 1 ? SpeakerArr::kMono : SpeakerArr::kStereo;
    SpeakerArrangement in = arrangement, out = arrangement;
    return processor->setBusArrangements(&in, 1, &out, 1) == kResultTrue &&
           processor->canProcessSampleSize(kSample32) == kResultOk;
}

bool Lv2Instance::start()
{
    ProcessSetup setup{kRealtime, kSample32, maxBlockSize, sampleRate};
    if (processor->setupProcessing(setup) != kResultOk)
        return false;
    if (component->setActive(true) != kResultOk)
        return false;
    active = true;
    processor->setProcessing(true);
    return true;
}

void Lv2Instance::stop()
{
    processor->setProcessing(false);
    component->setActive(false);
    active = false;
}

bool Lv2Instance::startFrom(const std::vector<ParamValue>& values)
{
    if (!start())
        return false;
    changes->clear();
    for (std::size_t i = 0; i < values.size(); ++i) {
        int32 queueIndex = 0, pointIndex = 0;
        if (IParamValueQueue* queue = changes->addParameterData(description.parameters[i].id, queueIndex))
            queue->addPoint(0, values[i], pointIndex);
    }
    processData = ProcessData{};
    processData.processMode = kRealtime;
    processData.symbolicSampleSize = kSample32;
    processData.inputParameterChanges = changes.get();
    processor->process(processData);
    stop();
    return start();
}

std::vector<ParamValue> Lv2Instance::portValuesAsNormalised() const
{
    std::vector<ParamValue> values(description.parameters.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Lv2ParameterPort& port = description.parameters[i];
        // A port the host has not connected yet keeps the value last heard,
        // or the default before anything was heard.
        double plain = port.defaultValue;
        if (ports[i])
            plain = static_cast<double>(*ports[i]);
        else if (!std::isnan(heardValues[i]))
            plain = static_cast<double>(heardValues[i]);
        values[i] = port.toNormalised(static_cast<std::int32_t>(port.id), plain);
    }
    return values;
}

void Lv2Instance::measureLatencies(std::vector<ParamValue> values)
{
    latencies.clear();
    if (latencyPortIndex < 0)
        return;
    const Lv2ParameterPort& port = description.parameters[static_cast<std::size_t>(latencyPortIndex)];
    const auto steps = static_cast<std::int32_t>(std::lround(port.maximum - port.minimum));
    for (std::int32_t step = 0; step <= steps; ++step) {
        values[static_cast<std::size_t>(latencyPortIndex)] =
            port.toNormalised(static_cast<std::int32_t>(port.id), port.minimum + step);
        const bool started = startFrom(values);
        latencies.push_back(started ? static_cast<std::int32_t>(processor->getLatencySamples()) : 0);
        if (started)
            stop();
    }
}

bool Lv2Instance::activate()
{
    if (active)
        return true;
    const std::vector<ParamValue> values = portValuesAsNormalised();
    measureLatencies(values);
    if (!startFrom(values))
        return false;
    fixedLatency = static_cast<std::int32_t>(processor->getLatencySamples());
    // The processor has these values already; run sends only what changes.
    for (std::size_t i = 0; i < heardValues.size(); ++i)
        heardValues[i] = ports[i] ? *ports[i] : std::nanf("");
    return true;
}

void Lv2Instance::deactivate()
{
    if (active)
        stop();
}

void Lv2Instance::connectPort(std::uint32_t port, void* data) noexcept
{
    if (port < ports.size())
        ports[port] = static_cast<float*>(data);
}

std::int32_t Lv2Instance::latencyForPortValue(float value) const noexcept
{
    if (latencies.empty())
        return fixedLatency;
    const Lv2ParameterPort& port = description.parameters[static_cast<std::size_t>(latencyPortIndex)];
    const double step = std::round(static_cast<double>(value) - port.minimum);
    const double last = static_cast<double>(latencies.size() - 1);
    const double clamped = step > 0.0 ? (step < last ? step : last) : 0.0;
    return latencies[static_cast<std::size_t>(clamped)];
}

void Lv2Instance::takePortChanges() noexcept
{
    changes->clear();
    for (std::size_t i = 0; i < heardValues.size(); ++i) {
        if (!ports[i])
            continue;
        const float value = *ports[i];
        if (std::isnan(value) || value == heardValues[i])
            continue;
        heardValues[i] = value;
        const Lv2ParameterPort& port = description.parameters[i];
        int32 queueIndex = 0, pointIndex = 0;
        if (IParamValueQueue* queue = changes->addParameterData(port.id, queueIndex))
            queue->addPoint(0, port.toNormalised(static_cast<std::int32_t>(port.id), static_cast<double>(value)),
                            pointIndex);
    }
}

void Lv2Instance::silenceOutputs(std::uint32_t frames) noexcept
{
    for (std::uint32_t c = 0; c < layout.channels; ++c)
        if (float* out = ports[layout.audioOutput(c)])
            std::memset(out, 0, sizeof(float) * frames);
}

void Lv2Instance::updateReading() noexcept
{
    if (!description.reading)
        return;
    if (active && processorConnection)
        processorConnection->notify(&readingRequest);
    for (std::uint32_t i = 0; i < layout.readingCount; ++i)
        if (float* port = ports[layout.reading(i)])
            *port = static_cast<float>(peer.reading(i));
}

void Lv2Instance::run(std::uint32_t frames) noexcept
{
    if (float* latencyPort = ports[layout.latency()]) {
        const float* decider = latencyPortIndex >= 0 ? ports[static_cast<std::size_t>(latencyPortIndex)] : nullptr;
        *latencyPort = static_cast<float>(decider ? latencyForPortValue(*decider) : fixedLatency);
    }
    bool connected = true;
    for (std::uint32_t c = 0; c < layout.channels; ++c) {
        inputs[c] = ports[layout.audioInput(c)];
        outputs[c] = ports[layout.audioOutput(c)];
        connected = connected && inputs[c] && outputs[c];
    }
    if (!active || !connected) {
        silenceOutputs(frames);
        updateReading();
        return;
    }
    takePortChanges();
    processData = ProcessData{};
    processData.processMode = kRealtime;
    processData.symbolicSampleSize = kSample32;
    processData.numInputs = processData.numOutputs = 1;
    inputBus = AudioBusBuffers{};
    outputBus = AudioBusBuffers{};
    inputBus.numChannels = outputBus.numChannels = static_cast<int32>(layout.channels);
    inputBus.channelBuffers32 = inputs;
    outputBus.channelBuffers32 = outputs;
    processData.inputs = &inputBus;
    processData.outputs = &outputBus;
    processData.inputParameterChanges = changes.get();
    // Longer runs than the set-up's block size go in pieces; the changes
    // belong to the first.
    std::uint32_t done = 0;
    do {
        const std::uint32_t piece = std::min<std::uint32_t>(frames - done, maxBlockSize);
        processData.numSamples = static_cast<int32>(piece);
        processor->process(processData);
        if (done == 0)
            changes->clear();
        done += piece;
        for (std::uint32_t c = 0; c < layout.channels; ++c) {
            inputs[c] += piece;
            outputs[c] += piece;
        }
    } while (done < frames);
    updateReading();
}

} // namespace Steinberg::Vst
