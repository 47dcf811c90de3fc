#include "tools/host/plugin_instance.h"

#include <cstring>
#include <stdexcept>
#include <string>

#include "public.sdk/source/common/memorystream.h"

namespace tarvel::host {

using namespace Steinberg;

namespace {

IPtr<Vst::IConnectionPoint> connectionPoint(FUnknown* part)
{
    FUnknownPtr<Vst::IConnectionPoint> point(part);
    return IPtr<Vst::IConnectionPoint>(point.getInterface());
}

// The first class whose category is the audio-effect category.
bool findProcessorClass(IPluginFactory& factory, TUID classId)
{
    const int32 count = factory.countClasses();
    for (int32 index = 0; index < count; ++index) {
        PClassInfo info{};
        if (factory.getClassInfo(index, &info) != kResultOk)
            continue;
        if (std::strncmp(info.category, kVstAudioEffectClass, PClassInfo::kCategorySize) == 0) {
            std::memcpy(classId, info.cid, sizeof(TUID));
            return true;
        }
    }
    return false;
}

template <typename Interface>
IPtr<Interface> createFromFactory(IPluginFactory& factory, const TUID classId, const char* what)
{
    void* object = nullptr;
    if (factory.createInstance(classId, Interface::iid, &object) != kResultOk || !object)
        throw std::runtime_error(std::string("the factory could not create the ") + what);
    return owned(static_cast<Interface*>(object));
}

Bytes streamBytes(MemoryStream& stream)
{
    const auto* data = reinterpret_cast<const std::uint8_t*>(stream.getData());
    return Bytes(data, data + stream.getSize());
}

} // namespace

PluginInstance::PluginInstance(const PluginModule& module) : PluginInstance(module, Options{}) {}

PluginInstance::PluginInstance(const PluginModule& module, Options options)
    : host(std::make_unique<Vst::HostApplication>()), componentHandler(owned(new ComponentHandler()))
{
    IPtr<IPluginFactory> factory = owned(module.createFactory());
    if (!factory)
        throw std::runtime_error(module.path() + ": GetPluginFactory returned null");

    TUID processorClass{};
    if (!findProcessorClass(*factory, processorClass))
        throw std::runtime_error(module.path() + ": the factory offers no audio effect");
    componentPart = createFromFactory<Vst::IComponent>(*factory, processorClass, "processor");
    if (componentPart->initialize(host.get()) != kResultOk)
        throw std::runtime_error("the processor refused to initialise");
    processorPart = FUnknownPtr<Vst::IAudioProcessor>(componentPart);
    if (!processorPart)
        throw std::runtime_error("the processor has no IAudioProcessor");

    TUID controllerClass{};
    if (componentPart->getControllerClassId(controllerClass) != kResultOk)
        throw std::runtime_error("the processor names no controller class");
    // A single-component plug-in would answer IEditController itself; ours
    // must not, so that is not tried.
    controllerPart = createFromFactory<Vst::IEditController>(*factory, controllerClass, "controller");
    if (controllerPart->initialize(host.get()) != kResultOk)
        throw std::runtime_error("the controller refused to initialise");

    if (options.withComponentHandler)
        controllerPart->setComponentHandler(componentHandler);

    if (options.connected) {
        auto processorPoint = connectionPoint(componentPart);
        auto controllerPoint = connectionPoint(controllerPart);
        if (processorPoint && controllerPoint) {
            processorOutbox = owned(new ConnectionProxy(controllerPoint));
            controllerOutbox = owned(new ConnectionProxy(processorPoint));
            processorPoint->connect(processorOutbox);
            controllerPoint->connect(controllerOutbox);
        }
    }

    // The controller starts from the processor's values.
    const Bytes initial = processorState();
    MemoryStream stream(const_cast<std::uint8_t*>(initial.data()), static_cast<TSize>(initial.size()));
    controllerPart->setComponentState(&stream);
}

PluginInstance::~PluginInstance()
{
    stop();
    if (processorOutbox) {
        if (auto point = connectionPoint(componentPart))
            point->disconnect(processorOutbox);
        if (auto point = connectionPoint(controllerPart))
            point->disconnect(controllerOutbox);
        processorOutbox->cut();
        controllerOutbox->cut();
    }
    controllerPart->setComponentHandler(nullptr);
    controllerPart->terminate();
    componentPart->terminate();
}

IPtr<Vst::IMessage> PluginInstance::makeMessage(const char* id) const
{
    void* object = nullptr;
    TUID messageClass;
    std::memcpy(messageClass, Vst::IMessage::iid, sizeof(TUID));
    if (host->createInstance(messageClass, messageClass, &object) != kResultOk || !object)
        throw std::runtime_error("the host context could not create a message");
    IPtr<Vst::IMessage> message = owned(static_cast<Vst::IMessage*>(object));
    message->setMessageID(id);
    return message;
}

Bytes PluginInstance::processorState() const
{
    MemoryStream stream;
    if (componentPart->getState(&stream) != kResultOk)
        throw std::runtime_error("the processor could not save its state");
    return streamBytes(stream);
}

Bytes PluginInstance::controllerState() const
{
    MemoryStream stream;
    if (controllerPart->getState(&stream) != kResultOk)
        throw std::runtime_error("the controller could not save its state");
    return streamBytes(stream);
}

tresult PluginInstance::restoreProcessorState(const Bytes& bytes) const
{
    auto* data = const_cast<std::uint8_t*>(bytes.data());
    MemoryStream forProcessor(data, static_cast<TSize>(bytes.size()));
    const tresult result = componentPart->setState(&forProcessor);
    if (result != kResultOk)
        return result;
    MemoryStream forController(data, static_cast<TSize>(bytes.size()));
    controllerPart->setComponentState(&forController);
    return result;
}

tresult PluginInstance::restoreControllerState(const Bytes& bytes) const
{
    MemoryStream stream(const_cast<std::uint8_t*>(bytes.data()), static_cast<TSize>(bytes.size()));
    return controllerPart->setState(&stream);
}

tresult PluginInstance::start(const Vst::ProcessSetup& setup, int32 channels)
{
    Vst::SpeakerArrangement layout = Vst::SpeakerArr::kStereo;
    if (channels == 1)
        layout = Vst::SpeakerArr::kMono;
    else if (channels == 6)
        layout = Vst::SpeakerArr::k51;
    else if (channels != 2)
        return kInvalidArgument;
    Vst::SpeakerArrangement inputs[] = {layout};
    Vst::SpeakerArrangement outputs[] = {layout};
    if (tresult result = processorPart->setBusArrangements(inputs, 1, outputs, 1); result != kResultOk)
        return result;
    Vst::ProcessSetup copy = setup;
    if (tresult result = processorPart->setupProcessing(copy); result != kResultOk)
        return result;
    if (tresult result = componentPart->setActive(true); result != kResultOk)
        return result;
    running = true;
    // Hosts ignore a refusal here (it only says the call is unsupported).
    processorPart->setProcessing(true);
    return kResultOk;
}

void PluginInstance::stop()
{
    if (!running)
        return;
    processorPart->setProcessing(false);
    componentPart->setActive(false);
    running = false;
}

} // namespace tarvel::host
