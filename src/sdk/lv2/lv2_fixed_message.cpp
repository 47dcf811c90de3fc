#include "sdk/lv2/lv2_fixed_message.h"

#include <cstring>

namespace Steinberg::Vst {

namespace {

void copyId(char* target, std::size_t size, const char* id) noexcept
{
    std::size_t i = 0;
    for (; id && id[i] != '\0' && i + 1 < size; ++i)
        target[i] = id[i];
    target[i] = '\0';
}

} // namespace

Lv2FixedAttributeList::Entry* Lv2FixedAttributeList::slot(AttrID id, bool create) noexcept
{
    if (!id)
        return nullptr;
    for (int32 i = 0; i < used; ++i)
        if (std::strncmp(entries[i].id, id, idLength) == 0)
            return &entries[i];
    if (!create || used == capacity)
        return nullptr;
    Entry& entry = entries[used++];
    copyId(entry.id, sizeof entry.id, id);
    return &entry;
}

tresult PLUGIN_API Lv2FixedAttributeList::setInt(AttrID id, int64 value)
{
    Entry* entry = slot(id, true);
    if (!entry)
        return kResultFalse;
    entry->isFloat = false;
    entry->integer = value;
    return kResultTrue;
}

tresult PLUGIN_API Lv2FixedAttributeList::getInt(AttrID id, int64& value)
{
    const Entry* entry = slot(id, false);
    if (!entry || entry->isFloat)
        return kResultFalse;
    value = entry->integer;
    return kResultTrue;
}

tresult PLUGIN_API Lv2FixedAttributeList::setFloat(AttrID id, double value)
{
    Entry* entry = slot(id, true);
    if (!entry)
        return kResultFalse;
    entry->isFloat = true;
    entry->number = value;
    return kResultTrue;
}

tresult PLUGIN_API Lv2FixedAttributeList::getFloat(AttrID id, double& value)
{
    const Entry* entry = slot(id, false);
    if (!entry || !entry->isFloat)
        return kResultFalse;
    value = entry->number;
    return kResultTrue;
}

tresult PLUGIN_API Lv2FixedAttributeList::queryInterface(const TUID queried, void** object)
{
    QUERY_INTERFACE(queried, object, FUnknown::iid, IAttributeList)
    QUERY_INTERFACE(queried, object, IAttributeList::iid, IAttributeList)
    *object = nullptr;
    return kNoInterface;
}

void Lv2FixedMessage::clear() noexcept
{
    messageId[0] = '\0';
    attributes.clear();
}

void PLUGIN_API Lv2FixedMessage::setMessageID(FIDString id) { copyId(messageId, sizeof messageId, id); }

tresult PLUGIN_API Lv2FixedMessage::queryInterface(const TUID queried, void** object)
{
    QUERY_INTERFACE(queried, object, FUnknown::iid, IMessage)
    QUERY_INTERFACE(queried, object, IMessage::iid, IMessage)
    *object = nullptr;
    return kNoInterface;
}

} // namespace Steinberg::Vst
