#include "sdk/lv2/lv2_processor_peer.h"

#include <cstring>

#include "pluginterfaces/base/ustring.h"

namespace Steinberg::Vst {

void Lv2ProcessorPeer::expectReading(const char* readingId, const std::vector<Lv2ReadingValue>& values) noexcept
{
    expectedReading = readingId;
    expectedValues = &values;
    hasReading = false;
}

double Lv2ProcessorPeer::reading(std::size_t index) const noexcept
{
    if (!expectedValues || index >= expectedValues->size() || index >= Lv2ReadingPort::maxValues)
        return 0.0;
    return hasReading ? lastReadings[index] : (*expectedValues)[index].valueBeforeFirstReading;
}

tresult PLUGIN_API Lv2ProcessorPeer::getName(String128 name)
{
    if (!name)
        return kInvalidArgument;
    UString(name, 128).assign(USTRING("LV2 host"));
    return kResultOk;
}

tresult PLUGIN_API Lv2ProcessorPeer::createInstance(TUID cid, TUID interfaceIid, void** object)
{
    if (!object)
        return kInvalidArgument;
    *object = nullptr;
    if (FUnknownPrivate::iidEqual(cid, IMessage::iid) && FUnknownPrivate::iidEqual(interfaceIid, IMessage::iid)) {
        outgoing.clear();
        *object = static_cast<IMessage*>(&outgoing);
        return kResultTrue;
    }
    return kResultFalse;
}

tresult PLUGIN_API Lv2ProcessorPeer::notify(IMessage* message)
{
    if (!message || !expectedReading)
        return kResultFalse;
    const char* id = message->getMessageID();
    if (!id || std::strcmp(id, expectedReading) != 0)
        return kResultFalse;
    IAttributeList* attributes = message->getAttributes();
    if (!attributes || !expectedValues)
        return kResultFalse;
    // A value the answer lacks keeps the one before.
    for (std::size_t i = 0; i < expectedValues->size() && i < Lv2ReadingPort::maxValues; ++i) {
        const Lv2ReadingValue& value = (*expectedValues)[i];
        if (!hasReading)
            lastReadings[i] = value.valueBeforeFirstReading;
        if (value.integer) {
            int64 number = 0;
            if (attributes->getInt(value.attribute.c_str(), number) == kResultTrue)
                lastReadings[i] = static_cast<double>(number);
        } else {
            double number = 0.0;
            if (attributes->getFloat(value.attribute.c_str(), number) == kResultTrue)
                lastReadings[i] = number;
        }
    }
    hasReading = true;
    return kResultOk;
}

tresult PLUGIN_API Lv2ProcessorPeer::queryInterface(const TUID queried, void** object)
{
    QUERY_INTERFACE(queried, object, FUnknown::iid, IHostApplication)
    QUERY_INTERFACE(queried, object, IHostApplication::iid, IHostApplication)
    QUERY_INTERFACE(queried, object, IConnectionPoint::iid, IConnectionPoint)
    *object = nullptr;
    return kNoInterface;
}

} // namespace Steinberg::Vst
