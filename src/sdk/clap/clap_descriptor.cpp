#include "sdk/clap/clap_descriptor.h"

#include <cstring>
#include <stdexcept>

namespace Steinberg::Vst {

namespace {

template <std::size_t N>
std::string textOf(const char8 (&field)[N])
{
    return std::string(field, strnlen(field, N));
}

std::string idPart(std::string_view text)
{
    std::string part;
    for (char c : text) {
        if (c >= 'A' && c <= 'Z')
            part += static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')
            part += c;
    }
    return part;
}

} // namespace

std::string clapIdFromUrl(std::string_view url, std::string_view name)
{
    if (const auto scheme = url.find("://"); scheme != std::string_view::npos)
        url.remove_prefix(scheme + 3);
    url = url.substr(0, url.find_first_of("/:?#"));
    std::vector<std::string_view> labels;
    while (!url.empty()) {
        const auto dot = url.find('.');
        labels.push_back(url.substr(0, dot));
        url = dot == std::string_view::npos ? std::string_view() : url.substr(dot + 1);
    }
    std::string id;
    for (auto label = labels.rbegin(); label != labels.rend(); ++label) {
        const std::string part = idPart(*label);
        if (part.empty() || (part == "www" && label + 1 == labels.rend()))
            continue;
        id += part + ".";
    }
    return id + idPart(name);
}

ClapDescriptor::ClapDescriptor(IPluginFactory& factory, const TUID processorClass, std::string pluginName,
                               std::vector<std::string> pluginFeatures, std::string pluginDescription)
    : name(std::move(pluginName)), description(std::move(pluginDescription)), features(std::move(pluginFeatures))
{
    PFactoryInfo factoryInfo;
    if (factory.getFactoryInfo(&factoryInfo) != kResultOk)
        throw std::runtime_error("factory without information");
    vendor = textOf(factoryInfo.vendor);
    url = textOf(factoryInfo.url);
    bool found = false;
    if (FUnknownPtr<IPluginFactory2> factory2(&factory); factory2) {
        for (int32 i = 0; i < factory.countClasses() && !found; ++i) {
            PClassInfo2 info;
            if (factory2->getClassInfo2(i, &info) != kResultOk || !FUnknownPrivate::iidEqual(info.cid, processorClass))
                continue;
            found = true;
            version = textOf(info.version);
            if (!textOf(info.vendor).empty())
                vendor = textOf(info.vendor);
        }
    }
    if (!found)
        throw std::runtime_error("the factory does not describe the class");
    id = clapIdFromUrl(url, name);
    for (const std::string& feature : features)
        featurePointers.push_back(feature.c_str());
    featurePointers.push_back(nullptr);
    descriptor.clap_version = clap::CLAP_VERSION;
    descriptor.id = id.c_str();
    descriptor.name = name.c_str();
    descriptor.vendor = vendor.c_str();
    descriptor.url = url.c_str();
    descriptor.manual_url = "";
    descriptor.support_url = url.c_str();
    descriptor.version = version.c_str();
    descriptor.description = description.c_str();
    descriptor.features = featurePointers.data();
}

} // namespace Steinberg::Vst
