#include "tools/moduleinfo/module_info.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include <picojson.h>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"
#include "tools/host/module_library.h"

namespace tarvel::moduleinfo {

using namespace Steinberg;

namespace {

// A fixed-size text field, which need not end with a terminator.
template <std::size_t N>
std::string field(const char8 (&text)[N])
{
    return std::string(text, strnlen(text, N));
}

// The module's name: the bundle folder's or file's name without extension.
std::string moduleName(const std::string& path)
{
    std::string name = path;
    while (!name.empty() && (name.back() == '/' || name.back() == '\\'))
        name.pop_back();
    name = name.substr(name.find_last_of("/\\") + 1);
    if (const auto dot = name.find_last_of('.'); dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name;
}

picojson::value factoryInfo(IPluginFactory& factory)
{
    PFactoryInfo info{};
    if (factory.getFactoryInfo(&info) != kResultOk)
        throw std::runtime_error("the factory gives no factory information");
    picojson::object flags;
    flags["Unicode"] = picojson::value((info.flags & PFactoryInfo::kUnicode) != 0);
    flags["Classes Discardable"] = picojson::value((info.flags & PFactoryInfo::kClassesDiscardable) != 0);
    flags["Component Non Discardable"] = picojson::value((info.flags & PFactoryInfo::kComponentNonDiscardable) != 0);
    picojson::object object;
    object["Vendor"] = picojson::value(field(info.vendor));
    object["URL"] = picojson::value(field(info.url));
    object["E-Mail"] = picojson::value(field(info.email));
    object["Flags"] = picojson::value(flags);
    return picojson::value(object);
}

picojson::value subCategories(const std::string& text)
{
    picojson::array list;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('|', start), text.size());
        if (end > start)
            list.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return picojson::value(list);
}

picojson::value classInfo(const PClassInfo2& info)
{
    FUID::String id{};
    FUID::fromTUID(info.cid).toString(id);
    picojson::object object;
    object["CID"] = picojson::value(std::string(id));
    object["Category"] = picojson::value(field(info.category));
    object["Name"] = picojson::value(field(info.name));
    object["Vendor"] = picojson::value(field(info.vendor));
    object["Version"] = picojson::value(field(info.version));
    object["SDKVersion"] = picojson::value(field(info.sdkVersion));
    object["Sub Categories"] = subCategories(field(info.subCategories));
    object["Class Flags"] = picojson::value(static_cast<double>(info.classFlags));
    object["Cardinality"] = picojson::value(static_cast<double>(info.cardinality));
    object["Snapshots"] = picojson::value(picojson::array());
    return picojson::value(object);
}

} // namespace

std::string describeModule(const std::string& modulePath)
{
    host::PluginModule module(host::moduleBinaryPath(modulePath));
    IPtr<IPluginFactory> factory = owned(module.createFactory());
    if (!factory)
        throw std::runtime_error(modulePath + ": GetPluginFactory answered null");
    FUnknownPtr<IPluginFactory2> factory2(factory);
    if (!factory2)
        throw std::runtime_error(modulePath + ": the factory describes no classes in the PClassInfo2 form");

    picojson::array classes;
    std::string version;
    for (int32 index = 0; index < factory->countClasses(); ++index) {
        PClassInfo2 info{};
        if (factory2->getClassInfo2(index, &info) != kResultOk)
            throw std::runtime_error("the factory does not describe class " + std::to_string(index));
        if (version.empty())
            version = field(info.version);
        classes.push_back(classInfo(info));
    }
    picojson::object document;
    document["Name"] = picojson::value(moduleName(modulePath));
    document["Version"] = picojson::value(version);
    document["Factory Info"] = factoryInfo(*factory);
    document["Classes"] = picojson::value(classes);
    return picojson::value(document).serialize(true);
}

} // namespace tarvel::moduleinfo
