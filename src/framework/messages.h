#pragma once
// Short messages between the processor and the controller over their
// connection point.

#include <cstring>

#include "pluginterfaces/vst/ivstmessage.h"
#include "public.sdk/source/vst/vstcomponentbase.h"

namespace vantle::vst {

// The framework's own messages from processor to controller.
namespace messages {
// Sent on every setActive: int attribute processorActiveFlag, 1 or 0.
inline constexpr char processorActive[] = "b0";
inline constexpr char processorActiveFlag[] = "b0";
// Sent when the latency changed; the controller asks the host to restart.
inline constexpr char latencyChanged[] = "b1";
} // namespace messages

inline bool isMessage(Steinberg::Vst::IMessage* message, const char* id)
{
    const char* actual = message->getMessageID();
    return actual && std::strcmp(actual, id) == 0;
}

// Allocates a message through the host, lets fill() add its attributes and
// sends it to the peer if one is connected. Nothing is sent when the host
// offers no message objects.
template <typename Fill>
void sendToPeer(const Steinberg::Vst::ComponentBase& sender, const char* id, Fill fill)
{
    Steinberg::IPtr<Steinberg::Vst::IMessage> message = Steinberg::owned(sender.allocateMessage());
    if (!message)
        return;
    message->setMessageID(id);
    if (auto* attributes = message->getAttributes())
        fill(*attributes);
    sender.sendMessage(message);
}

inline void sendToPeer(const Steinberg::Vst::ComponentBase& sender, const char* id)
{
    sendToPeer(sender, id, [](Steinberg::Vst::IAttributeList&) {});
}

} // namespace vantle::vst
