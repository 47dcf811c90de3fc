#include "sdk/lv2/lv2_ui_peer.h"

#include <cmath>
#include <cstring>

#include "pluginterfaces/base/ustring.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

namespace Steinberg::Vst {

Lv2UiPeer::Lv2UiPeer(const Lv2ReadingPort* reading, const Lv2UiDescription& ui, Listener handlers,
                     FUnknown* frameServices)
    : readingPort(reading), description(ui), listener(std::move(handlers)), offered(frameServices)
{
    if (readingPort)
        for (const Lv2ReadingValue& value : readingPort->values)
            lastReadings.push_back(value.valueBeforeFirstReading);
}

void Lv2UiPeer::tellController(const std::string& id, const std::function<void(IAttributeList&)>& fill)
{
    if (!controllerPeer)
        return;
    IPtr<IMessage> message = owned(static_cast<IMessage*>(new HostMessage));
    message->setMessageID(id.c_str());
    if (IAttributeList* attributes = message->getAttributes())
        fill(*attributes);
    controllerPeer->notify(message);
}

void Lv2UiPeer::readingArrived(std::size_t index, double value)
{
    if (index >= lastReadings.size())
        return;
    lastReadings[index] = value;
    if (toldActive || description.activeMessage.empty())
        return;
    // Readings come only from a running instance.
    toldActive = true;
    tellController(description.activeMessage,
                   [&](IAttributeList& a) { a.setInt(description.activeAttribute.c_str(), 1); });
}

tresult PLUGIN_API Lv2UiPeer::getName(String128 name)
{
    if (!name)
        return kInvalidArgument;
    UString(name, 128).assign(USTRING("LV2 host"));
    return kResultOk;
}

tresult PLUGIN_API Lv2UiPeer::createInstance(TUID cid, TUID interfaceIid, void** object)
{
    if (!object)
        return kInvalidArgument;
    *object = nullptr;
    if (FUnknownPrivate::iidEqual(cid, IMessage::iid) && FUnknownPrivate::iidEqual(interfaceIid, IMessage::iid)) {
        *object = static_cast<IMessage*>(new HostMessage);
        return kResultTrue;
    }
    if (FUnknownPrivate::iidEqual(cid, IAttributeList::iid) &&
        FUnknownPrivate::iidEqual(interfaceIid, IAttributeList::iid)) {
        *object = static_cast<IAttributeList*>(new HostAttributeList);
        return kResultTrue;
    }
    return kResultFalse;
}

tresult PLUGIN_API Lv2UiPeer::notify(IMessage* message)
{
    if (!message || !readingPort)
        return kResultFalse;
    const char* id = message->getMessageID();
    if (!id || readingPort->requestMessage != id)
        return kResultFalse;
    tellController(readingPort->readingMessage, [&](IAttributeList& a) {
        for (std::size_t i = 0; i < lastReadings.size(); ++i) {
            const Lv2ReadingValue& value = readingPort->values[i];
            if (value.integer)
                a.setInt(value.attribute.c_str(), static_cast<int64>(std::llround(lastReadings[i])));
            else
                a.setFloat(value.attribute.c_str(), lastReadings[i]);
        }
    });
    return kResultOk;
}

tresult PLUGIN_API Lv2UiPeer::beginEdit(ParamID id)
{
    if (listener.beginEdit)
        listener.beginEdit(id);
    return kResultOk;
}

tresult PLUGIN_API Lv2UiPeer::performEdit(ParamID id, ParamValue value)
{
    if (listener.performEdit)
        listener.performEdit(id, value);
    return kResultOk;
}

tresult PLUGIN_API Lv2UiPeer::endEdit(ParamID id)
{
    if (listener.endEdit)
        listener.endEdit(id);
    return kResultOk;
}

tresult PLUGIN_API Lv2UiPeer::resizeView(IPlugView* view, ViewRect* newSize)
{
    if (!view || !newSize)
        return kInvalidArgument;
    if (listener.resize)
        listener.resize(newSize->getWidth(), newSize->getHeight());
    return view->onSize(newSize);
}

tresult PLUGIN_API Lv2UiPeer::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, IHostApplication::iid, IHostApplication)
    QUERY_INTERFACE(iid, obj, IConnectionPoint::iid, IConnectionPoint)
    QUERY_INTERFACE(iid, obj, IComponentHandler::iid, IComponentHandler)
    QUERY_INTERFACE(iid, obj, IPlugFrame::iid, IPlugFrame)
    if (offered && offered->queryInterface(iid, obj) == kResultOk)
        return kResultOk;
    return FObject::queryInterface(iid, obj);
}

} // namespace Steinberg::Vst
