#include "sdk/plugin_factory.h"

#include <cstring>

namespace Steinberg {
namespace {

// Bounded copy: at most size characters, the rest zero; a text that fills the
// field keeps no terminator. The SDK's str8ToStr16 writes a terminator one
// past the field when the text fills it, so the record's layout forbids it.
template <typename To, typename From>
void copyText(To* to, const From* from, int32 size) noexcept
{
    int32 i = 0;
    for (; i < size && from[i] != 0; ++i) {
        if constexpr (sizeof(To) > sizeof(From))
            to[i] = static_cast<To>(static_cast<unsigned char>(from[i]));
        else
            to[i] = static_cast<To>(from[i] & 0xFF);
    }
    for (; i < size; ++i)
        to[i] = 0;
}

void copyClassId(TUID to, const TUID from) noexcept
{
    std::memcpy(to, from, sizeof(TUID));
}

PClassInfoW widened(const PClassInfo2& from) noexcept
{
    PClassInfoW to;
    copyClassId(to.cid, from.cid);
    to.cardinality = from.cardinality;
    copyText(to.category, from.category, PClassInfo::kCategorySize);
    copyText(to.name, from.name, PClassInfo::kNameSize);
    to.classFlags = from.classFlags;
    copyText(to.subCategories, from.subCategories, PClassInfoW::kSubCategoriesSize);
    copyText(to.vendor, from.vendor, PClassInfoW::kVendorSize);
    copyText(to.version, from.version, PClassInfoW::kVersionSize);
    copyText(to.sdkVersion, from.sdkVersion, PClassInfoW::kVersionSize);
    return to;
}

} // namespace

CPluginFactory::CPluginFactory(const PFactoryInfo& info) : factoryInfo(info)
{
    FUNKNOWN_CTOR
}

CPluginFactory::~CPluginFactory()
{
    FUNKNOWN_DTOR
}

// The SDK's macro hands its int32 reference count out as uint32.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wsign-conversion"
IMPLEMENT_REFCOUNT(CPluginFactory)
#pragma GCC diagnostic pop

tresult PLUGIN_API CPluginFactory::queryInterface(const TUID _iid, void** obj)
{
    QUERY_INTERFACE(_iid, obj, IPluginFactory::iid, IPluginFactory)
    QUERY_INTERFACE(_iid, obj, IPluginFactory2::iid, IPluginFactory2)
    QUERY_INTERFACE(_iid, obj, IPluginFactory3::iid, IPluginFactory3)
    QUERY_INTERFACE(_iid, obj, FUnknown::iid, IPluginFactory)
    *obj = nullptr;
    return kNoInterface;
}

bool CPluginFactory::addEntry(const PClassEntry& entry)
{
    try {
        classes.push_back(entry);
        return true;
    } catch (...) {
        return false;
    }
}

const CPluginFactory::PClassEntry* CPluginFactory::entryAt(int32 index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= classes.size())
        return nullptr;
    return &classes[static_cast<std::size_t>(index)];
}

bool CPluginFactory::registerClass(const PClassInfo* info, FUnknown* (*createFunc)(void*), void* context)
{
    if (!info || !createFunc)
        return false;
    PClassInfo2 info2;
    copyClassId(info2.cid, info->cid);
    info2.cardinality = info->cardinality;
    copyText(info2.category, info->category, PClassInfo::kCategorySize);
    copyText(info2.name, info->name, PClassInfo::kNameSize);
    return registerClass(&info2, createFunc, context);
}

bool CPluginFactory::registerClass(const PClassInfo2* info, FUnknown* (*createFunc)(void*), void* context)
{
    if (!info || !createFunc)
        return false;
    PClassEntry entry;
    entry.info8 = *info;
    entry.info16 = widened(*info);
    entry.createFunc = createFunc;
    entry.context = context;
    entry.isUnicode = false;
    return addEntry(entry);
}

bool CPluginFactory::registerClass(const PClassInfoW* info, FUnknown* (*createFunc)(void*), void* context)
{
    if (!info || !createFunc)
        return false;
    PClassEntry entry;
    entry.info16 = *info;
    entry.createFunc = createFunc;
    entry.context = context;
    entry.isUnicode = true;
    return addEntry(entry);
}

bool CPluginFactory::isClassRegistered(const FUID& cid)
{
    for (const PClassEntry& entry : classes)
        if (FUnknownPrivate::iidEqual(entry.info16.cid, cid.toTUID()))
            return true;
    return false;
}

void CPluginFactory::removeAllClasses()
{
    classes.clear();
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info)
{
    if (!info)
        return kInvalidArgument;
    std::memcpy(info, &factoryInfo, sizeof(PFactoryInfo));
    return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses()
{
    return static_cast<int32>(classes.size());
}

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info)
{
    const PClassEntry* entry = entryAt(index);
    if (!info || !entry)
        return kInvalidArgument;
    *info = PClassInfo();
    if (entry->isUnicode)
        return kResultFalse;
    copyClassId(info->cid, entry->info8.cid);
    info->cardinality = entry->info8.cardinality;
    copyText(info->category, entry->info8.category, PClassInfo::kCategorySize);
    copyText(info->name, entry->info8.name, PClassInfo::kNameSize);
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info)
{
    const PClassEntry* entry = entryAt(index);
    if (!info || !entry)
        return kInvalidArgument;
    if (entry->isUnicode) {
        *info = PClassInfo2();
        return kResultFalse;
    }
    *info = entry->info8;
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info)
{
    const PClassEntry* entry = entryAt(index);
    if (!info || !entry)
        return kInvalidArgument;
    *info = entry->info16;
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString _iid, void** obj)
{
    if (!obj)
        return kInvalidArgument;
    *obj = nullptr;
    if (!cid || !_iid)
        return kInvalidArgument;
    for (const PClassEntry& entry : classes) {
        if (std::memcmp(entry.info16.cid, cid, sizeof(TUID)) != 0)
            continue;
        // The host is across a C interface: a constructor's exception ends
        // here as a failed creation.
        FUnknown* instance = nullptr;
        try {
            instance = entry.createFunc(entry.context);
        } catch (...) {
            return kOutOfMemory;
        }
        if (!instance)
            return kNoInterface;
        const tresult result = instance->queryInterface(_iid, obj);
        instance->release();
        if (result != kResultOk) {
            *obj = nullptr;
            return kNoInterface;
        }
        return kResultOk;
    }
    return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown* /*context*/)
{
    return kNotImplemented;
}

} // namespace Steinberg
