#include "fuzz/support/in_process_module.h"

#include <cstring>

#include "public.sdk/source/common/memorystream.h"
#include "sdk/module_entry.h"

namespace tarvel::fuzz {

using namespace Steinberg;

void enterModule()
{
    static const bool entered = ModuleEntry(nullptr);
    require(entered, "ModuleEntry refused");
}

void fail(const char* what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

namespace {

// Printable bytes as they are, the others as \xNN.
void printBytes(const char* label, const Bytes& bytes)
{
    std::fprintf(stderr, "%s (%zu bytes): ", label, bytes.size());
    for (const std::uint8_t byte : bytes) {
        if (byte >= 0x20 && byte < 0x7f && byte != '\\')
            std::fputc(byte, stderr);
        else
            std::fprintf(stderr, "\\x%02x", byte);
    }
    std::fputc('\n', stderr);
}

} // namespace

void requireSame(const Bytes& expected, const Bytes& actual, const char* what)
{
    if (expected == actual)
        return;
    printBytes("expected", expected);
    printBytes("actual", actual);
    fail(what);
}

namespace {

template <typename Interface>
IPtr<Interface> create(IPluginFactory& factory, const TUID classId)
{
    void* object = nullptr;
    require(factory.createInstance(classId, Interface::iid, &object) == kResultOk && object,
            "the factory could not create a class it lists");
    return owned(static_cast<Interface*>(object));
}

void copyOut(MemoryStream& stream, Bytes& bytes)
{
    const auto* data = reinterpret_cast<const std::uint8_t*>(stream.getData());
    bytes.assign(data, data + stream.getSize());
}

} // namespace

Vst3Plugin::Vst3Plugin()
{
    enterModule();
    factory = owned(GetPluginFactory());
    require(factory != nullptr, "GetPluginFactory returned null");
    const int32 count = factory->countClasses();
    for (int32 index = 0; index < count && !componentPart; ++index) {
        PClassInfo info{};
        if (factory->getClassInfo(index, &info) == kResultOk &&
            std::strncmp(info.category, kVstAudioEffectClass, PClassInfo::kCategorySize) == 0)
            componentPart = create<Vst::IComponent>(*factory, info.cid);
    }
    require(componentPart != nullptr, "the factory lists no audio effect");
    require(componentPart->initialize(&host) == kResultOk, "the processor refused to initialise");
    processorPart = FUnknownPtr<Vst::IAudioProcessor>(componentPart);
    require(processorPart != nullptr, "the processor has no IAudioProcessor");
}

Vst3Plugin::~Vst3Plugin()
{
    if (controllerPart)
        controllerPart->terminate();
    componentPart->terminate();
}

Vst::IEditController& Vst3Plugin::controller()
{
    if (!controllerPart) {
        TUID controllerClass{};
        require(componentPart->getControllerClassId(controllerClass) == kResultOk,
                "the processor names no controller class");
        controllerPart = create<Vst::IEditController>(*factory, controllerClass);
        require(controllerPart->initialize(&host) == kResultOk, "the controller refused to initialise");
    }
    return *controllerPart;
}

bool Vst3Plugin::processorState(Bytes& bytes) const
{
    auto stream = owned(new MemoryStream());
    if (componentPart->getState(stream) != kResultOk)
        return false;
    copyOut(*stream, bytes);
    return true;
}

bool Vst3Plugin::controllerState(Bytes& bytes)
{
    auto stream = owned(new MemoryStream());
    if (controller().getState(stream) != kResultOk)
        return false;
    copyOut(*stream, bytes);
    return true;
}

namespace {

// A stream over a copy of the bytes, so nothing the plug-in does can write
// into the fuzzer's input.
IPtr<MemoryStream> streamOf(const Bytes& bytes)
{
    auto stream = owned(new MemoryStream());
    int32 written = 0;
    if (!bytes.empty())
        stream->write(const_cast<std::uint8_t*>(bytes.data()), static_cast<int32>(bytes.size()), &written);
    stream->seek(0, IBStream::kIBSeekSet, nullptr);
    return stream;
}

} // namespace

tresult Vst3Plugin::loadProcessorState(const Bytes& bytes) const { return componentPart->setState(streamOf(bytes)); }

tresult Vst3Plugin::loadControllerState(const Bytes& bytes) { return controller().setState(streamOf(bytes)); }

tresult Vst3Plugin::loadComponentState(const Bytes& bytes)
{
    return controller().setComponentState(streamOf(bytes));
}

} // namespace tarvel::fuzz
