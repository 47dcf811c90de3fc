#include "sdk/lv2/lv2_processor_peer.h"

#include <cstring>

#include "pluginterfaces/base/ustring.h"

namespace Steinberg::Vst {

void Lv2ProcessorPeer::expectReading(const char* readingId, const char* valueId) noexcept
{
    expectedReading = readingId;
    expectedValue = valueId;
    hasReading = false;
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
    double value = 0.0;
    IAttributeList* attributes = message->getAttributes();
    if (!attributes || attributes->getFloat(expectedValue, value) != kResultTrue)
        return kResultFalse;
    lastReading = value;
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
