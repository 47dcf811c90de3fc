#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "base/source/fobject.h"
#include "sdk/plugin_factory.h"

namespace {

using namespace Steinberg;

int liveObjects = 0;

class Counted : public FObject {
public:
    Counted() { ++liveObjects; }
    ~Counted() override { --liveObjects; }
};

FUnknown* createCounted(void*) { return static_cast<FObject*>(new Counted()); }
FUnknown* createThrowing(void*) { throw std::runtime_error("construction failed"); }

PClassInfo2 description(char8 idByte)
{
    PClassInfo2 info;
    std::memset(info.cid, idByte, sizeof(TUID));
    std::memset(info.name, 'n', sizeof(info.name)); // fills the field: no terminator
    std::strcpy(info.category, "cat");
    std::memset(info.sdkVersion, 'v', sizeof(info.sdkVersion));
    return info;
}

TEST(PluginFactory, RegistrationCopiesAndWideFormKeepsFieldBounds)
{
    IPtr<CPluginFactory> factory = owned(new CPluginFactory(PFactoryInfo("v", "u", "e", 0)));
    PClassInfo2 scratch = description(1);
    ASSERT_TRUE(factory->registerClass(&scratch, createCounted));
    scratch = description(2);
    ASSERT_TRUE(factory->registerClass(&scratch, createCounted));
    EXPECT_FALSE(factory->registerClass(static_cast<const PClassInfo2*>(nullptr), createCounted));
    ASSERT_EQ(factory->countClasses(), 2);

    PClassInfo2 first;
    factory->getClassInfo2(0, &first);
    EXPECT_EQ(first.cid[0], 1) << "the first registration was copied, not referenced";

    // A text that fills its field must not spill a terminator into the next
    // field or past the record.
    struct Guarded {
        PClassInfoW info;
        char16 after[4] = {0x7777, 0x7777, 0x7777, 0x7777};
    } guarded;
    ASSERT_EQ(factory->getClassInfoUnicode(1, &guarded.info), kResultOk);
    EXPECT_EQ(guarded.info.name[PClassInfo::kNameSize - 1], u'n');
    EXPECT_EQ(guarded.info.sdkVersion[PClassInfoW::kVersionSize - 1], u'v');
    EXPECT_EQ(guarded.after[0], 0x7777);
    EXPECT_STREQ(guarded.info.category, "cat");
}

TEST(PluginFactory, UnicodeOnlyClassesAnswerOnlyTheWideForm)
{
    IPtr<CPluginFactory> factory = owned(new CPluginFactory(PFactoryInfo()));
    PClassInfoW wide;
    std::memset(wide.cid, 3, sizeof(TUID));
    wide.name[0] = u'w';
    ASSERT_TRUE(factory->registerClass(&wide, createCounted));
    PClassInfo one;
    PClassInfo2 two;
    EXPECT_EQ(factory->getClassInfo(0, &one), kResultFalse);
    EXPECT_EQ(factory->getClassInfo2(0, &two), kResultFalse);
    PClassInfoW back;
    EXPECT_EQ(factory->getClassInfoUnicode(0, &back), kResultOk);
    EXPECT_EQ(back.name[0], u'w');
    EXPECT_EQ(factory->getClassInfoUnicode(-1, &back), kInvalidArgument);
}

TEST(PluginFactory, CreatesByClassIdAndInterfaceAndContainsExceptions)
{
    IPtr<CPluginFactory> factory = owned(new CPluginFactory(PFactoryInfo()));
    PClassInfo2 good = description(4);
    PClassInfo2 bad = description(5);
    factory->registerClass(&good, createCounted);
    factory->registerClass(&bad, createThrowing);

    void* object = nullptr;
    ASSERT_EQ(factory->createInstance(good.cid, FObject::iid, &object), kResultOk);
    EXPECT_EQ(liveObjects, 1);
    static_cast<FObject*>(object)->release();
    EXPECT_EQ(liveObjects, 0);

    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->createInstance(good.cid, IPluginFactory::iid, &object), kNoInterface);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(liveObjects, 0) << "an instance without the asked interface is released";

    EXPECT_NE(factory->createInstance(bad.cid, FUnknown::iid, &object), kResultOk);
    EXPECT_EQ(object, nullptr);

    FUnknownPtr<IPluginFactory3> third(static_cast<IPluginFactory*>(factory.get()));
    EXPECT_TRUE(third);
}

} // namespace
