#include "sdk/vst2/vst2_identity.h"

#include <array>
#include <cstring>

namespace Steinberg::Vst {

namespace {

template <std::size_t N>
std::string textOf(const char8 (&field)[N])
{
    return std::string(field, strnlen(field, N));
}

bool hasCategory(std::string_view subCategories, std::string_view name) noexcept
{
    std::size_t start = 0;
    while (start <= subCategories.size()) {
        std::size_t end = subCategories.find('|', start);
        if (end == std::string_view::npos)
            end = subCategories.size();
        if (subCategories.substr(start, end - start) == name)
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

vst2::VstInt32 vst2VersionFromText(std::string_view text) noexcept
{
    constexpr std::array<vst2::VstInt32, 4> weights = {1000, 100, 10, 1};
    vst2::VstInt32 version = 0;
    std::size_t at = 0;
    for (vst2::VstInt32 weight : weights) {
        if (at >= text.size() || text[at] < '0' || text[at] > '9')
            break;
        vst2::VstInt32 part = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            // Parts beyond any real version number are held at a bound
            // rather than overflowing.
            if (part < 100000)
                part = part * 10 + (text[at] - '0');
            ++at;
        }
        version += part * weight;
        if (at >= text.size() || text[at] != '.')
            break;
        ++at;
    }
    return version;
}

vst2::VstPlugCategory vst2CategoryFromSubCategories(std::string_view subCategories) noexcept
{
    // The more specific words first: "Fx|Reverb" is a room effect, "Fx"
    // alone a plain effect.
    struct Mapping {
        std::string_view word;
        vst2::VstPlugCategory category;
    };
    constexpr Mapping mappings[] = {
        {"Instrument", vst2::kPlugCategSynth},      {"Spatial", vst2::kPlugCategSpacializer},
        {"Surround", vst2::kPlugSurroundFx},        {"Reverb", vst2::kPlugCategRoomFx},
        {"Analyzer", vst2::kPlugCategAnalysis},     {"Mastering", vst2::kPlugCategMastering},
        {"Restoration", vst2::kPlugCategRestoration}, {"Generator", vst2::kPlugCategGenerator},
        {"Fx", vst2::kPlugCategEffect},
    };
    for (const Mapping& mapping : mappings)
        if (hasCategory(subCategories, mapping.word))
            return mapping.category;
    return vst2::kPlugCategUnknown;
}

bool readVst2Identity(IPluginFactory& factory, const TUID processorClass, Vst2Identity& identity)
{
    PFactoryInfo factoryInfo;
    const std::string factoryVendor =
        factory.getFactoryInfo(&factoryInfo) == kResultOk ? textOf(factoryInfo.vendor) : std::string();

    FUnknownPtr<IPluginFactory2> factory2(&factory);
    const int32 count = factory.countClasses();
    for (int32 i = 0; i < count; ++i) {
        PClassInfo plain;
        if (factory.getClassInfo(i, &plain) != kResultOk || std::memcmp(plain.cid, processorClass, sizeof(TUID)) != 0)
            continue;
        identity.effectName = identity.productName = textOf(plain.name);
        identity.vendor = factoryVendor;
        PClassInfo2 extended;
        if (factory2 && factory2->getClassInfo2(i, &extended) == kResultOk) {
            if (extended.vendor[0] != 0)
                identity.vendor = textOf(extended.vendor);
            identity.vendorVersion = vst2VersionFromText(textOf(extended.version));
            const std::string subCategories = textOf(extended.subCategories);
            identity.category = vst2CategoryFromSubCategories(subCategories);
            identity.isInstrument = hasCategory(subCategories, "Instrument");
        }
        return true;
    }
    return false;
}

} // namespace Steinberg::Vst
