#include "entry/factory.h"

#include <cstring>
#include <string>

#include "controller/controller.h"
#include "entry/class_id_fuid.h"
#include "entry/class_ids.h"
#include "foundation/scrambled_text.h"
#include "processor/processor.h"

namespace tarvel {
namespace {

using Steinberg::char8;
using Steinberg::int32;

// At most size bytes of text, the rest of the field zero; a text as long as
// the field keeps no terminator.
void copyBounded(char8* field, std::size_t size, const std::string& text)
{
    const std::size_t count = text.size() < size ? text.size() : size;
    std::memcpy(field, text.data(), count);
    std::memset(field + count, 0, size - count);
}

template <std::size_t N>
void copyBounded(char8 (&field)[N], const std::string& text)
{
    copyBounded(field, N, text);
}

Steinberg::PFactoryInfo factoryInformation()
{
    Steinberg::PFactoryInfo info;
    copyBounded(info.vendor, VANTLE_TEXT("Vantle Audio"));
    copyBounded(info.url, VANTLE_TEXT("https://vantle.audio"));
    copyBounded(info.email, VANTLE_TEXT("mailto:support@vantle.audio"));
    info.flags = Steinberg::PFactoryInfo::kUnicode;
    return info;
}

void describeClass(Steinberg::PClassInfo2& info, const ClassId& id, const std::string& category,
                   std::string_view name, Steinberg::uint32 classFlags, const std::string& subCategories)
{
    info = Steinberg::PClassInfo2();
    toFuid(id).toTUID(info.cid);
    info.cardinality = Steinberg::PClassInfo::kManyInstances;
    copyBounded(info.category, category);
    copyBounded(info.name, std::string(name));
    info.classFlags = classFlags;
    copyBounded(info.subCategories, subCategories);
    copyBounded(info.vendor, std::string());
    copyBounded(info.version, VANTLE_TEXT(TARVEL_VERSION_TEXT));
    copyBounded(info.sdkVersion, VANTLE_TEXT("VST 3.7.2"));
}

// Processor and controller may run in different places.
constexpr Steinberg::uint32 distributableFlag = 1;

} // namespace

Steinberg::CPluginFactory* createFactory()
{
    auto* factory = new Steinberg::CPluginFactory(factoryInformation());
    try {
        Steinberg::PClassInfo2 scratch;
        describeClass(scratch, processorClassId(), VANTLE_TEXT("Audio Module Class"), processorClassName,
                      distributableFlag, VANTLE_TEXT("Fx|Dynamics"));
        factory->registerClass(&scratch, createProcessorInstance);
        describeClass(scratch, controllerClassId(), VANTLE_TEXT("Component Controller Class"),
                      controllerClassName, 0, std::string());
        factory->registerClass(&scratch, createControllerInstance);
    } catch (...) {
        factory->release();
        throw;
    }
    return factory;
}

Steinberg::FUnknown* createProcessorInstance(void* /*context*/)
{
    // Computed before the processor exists, so nothing can throw while a
    // constructed processor is still unowned.
    const Steinberg::FUID controllerClass = toFuid(controllerClassId());
    auto* processor = new Processor();
    processor->setControllerClass(controllerClass);
    return static_cast<Steinberg::Vst::IAudioProcessor*>(processor);
}

Steinberg::FUnknown* createControllerInstance(void* /*context*/)
{
    return static_cast<Steinberg::Vst::IEditController*>(new Controller());
}

} // namespace tarvel
