#include "tools/host/connection_proxy.h"

#include <cstring>

namespace tarvel::host {

using namespace Steinberg;

ConnectionProxy::ConnectionProxy(Vst::IConnectionPoint* destination) : target(destination) {}

tresult PLUGIN_API ConnectionProxy::connect(Vst::IConnectionPoint*)
{
    return kResultFalse;
}

tresult PLUGIN_API ConnectionProxy::disconnect(Vst::IConnectionPoint*)
{
    return kResultOk;
}

tresult PLUGIN_API ConnectionProxy::notify(Vst::IMessage* message)
{
    if (!message)
        return kInvalidArgument;
    messages.emplace_back(message);
    if (!target)
        return kResultFalse;
    return target->notify(message);
}

void ConnectionProxy::cut()
{
    target = nullptr;
}

std::size_t ConnectionProxy::count(const std::string& id) const
{
    std::size_t found = 0;
    for (const auto& message : messages)
        if (const char* messageId = message->getMessageID(); messageId && id == messageId)
            ++found;
    return found;
}

Vst::IMessage* ConnectionProxy::latest(const std::string& id) const
{
    for (auto it = messages.rbegin(); it != messages.rend(); ++it)
        if (const char* messageId = (*it)->getMessageID(); messageId && id == messageId)
            return it->get();
    return nullptr;
}

} // namespace tarvel::host
