// The bundle as hosts find it: its moduleinfo.json, which they read instead
// of loading the module, must say what the module's factory answers, in the
// form the SDK's reader accepts.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include <picojson.h>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"
#include "tools/host/module_library.h"

namespace {

using namespace Steinberg;
using tarvel::host::moduleBinaryPath;

std::string fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Every member is one the reader knows, and every required one is there.
void expectMembers(const picojson::value& object, const std::set<std::string>& known,
                   const std::set<std::string>& required, const std::string& where)
{
    ASSERT_TRUE(object.is<picojson::object>()) << where;
    for (const auto& [name, value] : object.get<picojson::object>())
        EXPECT_TRUE(known.count(name)) << where << " has an unknown member " << name;
    for (const std::string& name : required)
        EXPECT_TRUE(object.contains(name)) << where << " lacks " << name;
}

std::string text(const picojson::value& object, const char* name)
{
    const picojson::value& member = object.get(name);
    return member.is<std::string>() ? member.get<std::string>() : "(not a text)";
}

TEST(ModuleInfo, TheBundleDescribesWhatItsFactoryAnswers)
{
    picojson::value document;
    const std::string error = picojson::parse(document, fileText(TARVEL_MODULE_INFO));
    ASSERT_TRUE(error.empty()) << TARVEL_MODULE_INFO << ": " << error;
    expectMembers(document, {"Name", "Version", "Factory Info", "Compatibility", "Classes"},
                  {"Name", "Version", "Factory Info", "Classes"}, "the document");
    EXPECT_EQ(text(document, "Name"), "Tarvel64");
    EXPECT_EQ(text(document, "Version"), "1.1.4");

    tarvel::host::PluginModule module(moduleBinaryPath(TARVEL_BUNDLE_PATH));
    IPtr<IPluginFactory> factory = owned(module.createFactory());
    FUnknownPtr<IPluginFactory2> factory2(factory);
    ASSERT_TRUE(factory2);

    PFactoryInfo answered{};
    ASSERT_EQ(factory->getFactoryInfo(&answered), kResultOk);
    const picojson::value& info = document.get("Factory Info");
    const std::set<std::string> infoMembers = {"Vendor", "URL", "E-Mail", "Flags"};
    expectMembers(info, infoMembers, infoMembers, "Factory Info");
    EXPECT_EQ(text(info, "Vendor"), answered.vendor);
    EXPECT_EQ(text(info, "URL"), answered.url);
    EXPECT_EQ(text(info, "E-Mail"), answered.email);
    const picojson::value& flags = info.get("Flags");
    expectMembers(flags, {"Unicode", "Classes Discardable", "Component Non Discardable"}, {}, "Flags");
    const auto flag = [&](const char* name) { return flags.get(name).is<bool>() && flags.get(name).get<bool>(); };
    EXPECT_EQ(flag("Unicode"), (answered.flags & PFactoryInfo::kUnicode) != 0);
    EXPECT_EQ(flag("Classes Discardable"), (answered.flags & PFactoryInfo::kClassesDiscardable) != 0);
    EXPECT_EQ(flag("Component Non Discardable"), (answered.flags & PFactoryInfo::kComponentNonDiscardable) != 0);

    const picojson::value& classes = document.get("Classes");
    ASSERT_TRUE(classes.is<picojson::array>());
    ASSERT_EQ(classes.get<picojson::array>().size(), static_cast<std::size_t>(factory->countClasses()));
    for (int32 i = 0; i < factory->countClasses(); ++i) {
        SCOPED_TRACE(i);
        const picojson::value& described = classes.get(static_cast<std::size_t>(i));
        expectMembers(described,
                      {"CID", "Category", "Name", "Vendor", "Version", "SDKVersion", "Sub Categories", "Class Flags",
                       "Cardinality", "Snapshots"},
                      {"CID", "Category", "Name", "Vendor", "Version", "SDKVersion", "Class Flags", "Cardinality"},
                      "a class");
        PClassInfo2 expected{};
        ASSERT_EQ(factory2->getClassInfo2(i, &expected), kResultOk);
        FUID::String id{};
        FUID::fromTUID(expected.cid).toString(id);
        EXPECT_EQ(text(described, "CID"), id);
        EXPECT_EQ(text(described, "Category"), expected.category);
        EXPECT_EQ(text(described, "Name"), expected.name);
        EXPECT_EQ(text(described, "Vendor"), expected.vendor);
        EXPECT_EQ(text(described, "Version"), expected.version);
        EXPECT_EQ(text(described, "SDKVersion"), expected.sdkVersion);
        std::string joined;
        for (const picojson::value& category : described.get("Sub Categories").get<picojson::array>())
            joined += (joined.empty() ? "" : "|") + category.get<std::string>();
        EXPECT_EQ(joined, expected.subCategories);
        EXPECT_EQ(described.get("Class Flags").get<double>(), expected.classFlags);
        EXPECT_EQ(described.get("Cardinality").get<double>(), expected.cardinality);
    }
}

// On Windows the bundle holds a copy of the DLL VST 2 hosts load, which
// must be the module just built; on Linux the two are one file.
TEST(ModuleInfo, TheBundleHoldsTheModuleJustBuilt)
{
    const std::string bundled = moduleBinaryPath(TARVEL_BUNDLE_PATH);
    const std::string built = fileText(TARVEL_MODULE_PATH);
    ASSERT_FALSE(built.empty());
    EXPECT_TRUE(fileText(bundled) == built) << bundled;
}

} // namespace
