#pragma once
// The host's side of a processor-controller connection. Hosts never connect
// the two components directly: each side is connected to a proxy that
// forwards what it is sent to the other side. The proxy keeps every message
// it forwarded, so tests can read what travelled.

#include <string>
#include <vector>

#include "pluginterfaces/base/smartpointer.h"
#include "tools/host/host_object.h"
#include "pluginterfaces/vst/ivstmessage.h"

namespace tarvel::host {

class ConnectionProxy final : public HostObject<Steinberg::Vst::IConnectionPoint> {
public:
    // destination: the component messages sent to this proxy are passed on to.
    explicit ConnectionProxy(Steinberg::Vst::IConnectionPoint* destination);

    // The proxy stands for its destination; connecting it to anything else is refused.
    Steinberg::tresult PLUGIN_API connect(Steinberg::Vst::IConnectionPoint* other) override;
    Steinberg::tresult PLUGIN_API disconnect(Steinberg::Vst::IConnectionPoint* other) override;
    Steinberg::tresult PLUGIN_API notify(Steinberg::Vst::IMessage* message) override;

    // Drops the destination: later messages are kept but go nowhere, as
    // when a host has torn the connection down.
    void cut();

    const std::vector<Steinberg::IPtr<Steinberg::Vst::IMessage>>& forwarded() const { return messages; }
    // How many forwarded messages had this id.
    std::size_t count(const std::string& id) const;
    // The newest forwarded message with this id, or null.
    Steinberg::Vst::IMessage* latest(const std::string& id) const;
    void clearLog() { messages.clear(); }


private:
    Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> target;
    std::vector<Steinberg::IPtr<Steinberg::Vst::IMessage>> messages;
};

} // namespace tarvel::host
