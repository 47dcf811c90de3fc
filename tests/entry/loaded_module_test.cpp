// The factory as a host sees it: through the built module's exported
// functions, never by linking the classes.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "tools/host/module_library.h"

namespace {

using namespace Steinberg;

// Loaded and entered through the host harness, which calls the load
// function this OS's hosts call (ModuleEntry on Linux, InitDll on Windows).
class LoadedModule : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_THROW(module = std::make_unique<tarvel::host::PluginModule>(TARVEL_MODULE_PATH)); }

    IPtr<IPluginFactory3> factory3()
    {
        IPtr<IPluginFactory> plain = owned(module->createFactory());
        return FUnknownPtr<IPluginFactory3>(plain);
    }

    std::unique_ptr<tarvel::host::PluginModule> module;
};

TEST_F(LoadedModule, ExportsOnlyTheEntryPoints)
{
    EXPECT_NE(module->symbol("InitDll"), nullptr);
    EXPECT_NE(module->symbol("ExitDll"), nullptr);
    // The VST 2.4 entry under both names hosts look for.
    EXPECT_NE(module->symbol("VSTPluginMain"), nullptr);
    EXPECT_NE(module->symbol("main"), nullptr);
    EXPECT_EQ(module->symbol("_ZN6tarvel13createFactoryEv"), nullptr);
    EXPECT_EQ(module->symbol("InitModule"), nullptr);
}

TEST_F(LoadedModule, DescribesProcessorThenControllerInAllThreeForms)
{
    IPtr<IPluginFactory3> factory = factory3();
    ASSERT_TRUE(factory);
    PFactoryInfo info;
    ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
    EXPECT_EQ(info.flags, PFactoryInfo::kUnicode);
    EXPECT_GT(std::strlen(info.vendor), 0u);
    ASSERT_EQ(factory->countClasses(), 2);

    const char* categories[] = {kVstAudioEffectClass, kVstComponentControllerClass};
    const char* names[] = {"Tarvel64", "Tarvel64Controller"};
    for (int32 i = 0; i < 2; ++i) {
        PClassInfo one;
        PClassInfo2 two;
        PClassInfoW wide;
        ASSERT_EQ(factory->getClassInfo(i, &one), kResultOk);
        ASSERT_EQ(factory->getClassInfo2(i, &two), kResultOk);
        ASSERT_EQ(factory->getClassInfoUnicode(i, &wide), kResultOk);
        EXPECT_STREQ(two.category, categories[i]);
        EXPECT_STREQ(two.name, names[i]);
        EXPECT_EQ(two.cardinality, PClassInfo::kManyInstances);
        EXPECT_STREQ(two.version, "1.1.4");
        EXPECT_STREQ(two.vendor, "");
        EXPECT_EQ(std::memcmp(one.cid, two.cid, sizeof(TUID)), 0);
        EXPECT_EQ(std::memcmp(wide.cid, two.cid, sizeof(TUID)), 0);
        EXPECT_STREQ(one.category, two.category);
        EXPECT_STREQ(one.name, two.name);
        EXPECT_STREQ(wide.category, two.category);
        EXPECT_STREQ(wide.subCategories, two.subCategories);
        EXPECT_EQ(wide.classFlags, two.classFlags);
        for (std::size_t c = 0; c <= std::strlen(names[i]); ++c)
            EXPECT_EQ(wide.name[c], static_cast<char16>(names[i][c]));
    }
    PClassInfo2 processor, controller;
    factory->getClassInfo2(0, &processor);
    factory->getClassInfo2(1, &controller);
    EXPECT_EQ(processor.classFlags, 1u);
    EXPECT_STREQ(processor.subCategories, "Fx|Dynamics");
    EXPECT_EQ(controller.classFlags, 0u);
    EXPECT_STREQ(controller.subCategories, "");
    EXPECT_EQ(factory->getClassInfo2(2, &processor), kInvalidArgument);
}

TEST_F(LoadedModule, TwoFactoriesAreDistinctButDescribeTheSameIds)
{
    IPtr<IPluginFactory3> a = factory3();
    IPtr<IPluginFactory3> b = factory3();
    ASSERT_TRUE(a && b);
    EXPECT_NE(a.get(), b.get());
    for (int32 i = 0; i < 2; ++i) {
        PClassInfo2 first, second;
        a->getClassInfo2(i, &first);
        b->getClassInfo2(i, &second);
        EXPECT_EQ(std::memcmp(first.cid, second.cid, sizeof(TUID)), 0);
    }
}

// Hosts store a class ID in projects in the SDK's text form, which reads the
// 16 bytes in the platform's own layout; the same text everywhere lets a
// project find the plug-in on either platform. On Windows the text also pins
// the bytes to the COM layout the IDs have always had there.
TEST_F(LoadedModule, ClassIdsReadAsTheSameTextOnEveryPlatform)
{
    IPtr<IPluginFactory3> factory = factory3();
    const char* texts[] = {"E0185EE209EAFDBDA202C59AA6CAC578", "66AE89F121517BB4D3AE6077ADBAA41D"};
    for (int32 i = 0; i < 2; ++i) {
        PClassInfo info;
        ASSERT_EQ(factory->getClassInfo(i, &info), kResultOk);
        FUID::String text{};
        FUID::fromTUID(info.cid).toString(text);
        EXPECT_STREQ(text, texts[i]);
    }
}

TEST_F(LoadedModule, ProcessorNamesTheControllerClassAndBothAreCreated)
{
    IPtr<IPluginFactory3> factory = factory3();
    PClassInfo2 processorInfo, controllerInfo;
    factory->getClassInfo2(0, &processorInfo);
    factory->getClassInfo2(1, &controllerInfo);

    Vst::IComponent* component = nullptr;
    ASSERT_EQ(factory->createInstance(processorInfo.cid, Vst::IComponent::iid,
                                      reinterpret_cast<void**>(&component)),
              kResultOk);
    TUID named;
    EXPECT_EQ(component->getControllerClassId(named), kResultOk);
    EXPECT_EQ(std::memcmp(named, controllerInfo.cid, sizeof(TUID)), 0);
    FUnknownPtr<Vst::IAudioProcessor> audio(component);
    EXPECT_TRUE(audio);
    component->release();

    Vst::IEditController* controller = nullptr;
    ASSERT_EQ(factory->createInstance(controllerInfo.cid, Vst::IEditController::iid,
                                      reinterpret_cast<void**>(&controller)),
              kResultOk);
    controller->release();

    void* none = reinterpret_cast<void*>(1);
    TUID unknown = {};
    EXPECT_EQ(factory->createInstance(unknown, Vst::IComponent::iid, &none), kNoInterface);
    EXPECT_EQ(none, nullptr);
}

} // namespace
