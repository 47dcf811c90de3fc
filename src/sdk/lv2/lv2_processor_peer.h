#pragma once
// What the processor finds where a VST 3 host would put its context and the
// controller: message objects (one fixed message, handed out again for each
// message the processor sends, so sending never allocates) and a connection
// peer that keeps the one reading the adapter asks for. The processor sends
// one message at a time and the peer is done with it when notify returns.

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "sdk/lv2/lv2_fixed_message.h"
#include "sdk/lv2/lv2_plugin_description.h"

namespace Steinberg::Vst {

class Lv2ProcessorPeer final : public IHostApplication, public IConnectionPoint {
public:
    // Messages with readingId carry the attributes of values (at most
    // Lv2ReadingPort::maxValues), which must outlive the peer.
    void expectReading(const char* readingId, const std::vector<Lv2ReadingValue>& values) noexcept;
    // Value index of the last such message; its fallback before the first.
    double reading(std::size_t index) const noexcept;

    tresult PLUGIN_API getName(String128 name) override;
    tresult PLUGIN_API createInstance(TUID cid, TUID interfaceIid, void** object) override;

    tresult PLUGIN_API connect(IConnectionPoint*) override { return kResultTrue; }
    tresult PLUGIN_API disconnect(IConnectionPoint*) override { return kResultTrue; }
    tresult PLUGIN_API notify(IMessage* message) override;

    tresult PLUGIN_API queryInterface(const TUID queried, void** object) override;
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }

private:
    Lv2FixedMessage outgoing;
    const char* expectedReading = nullptr;
    const std::vector<Lv2ReadingValue>* expectedValues = nullptr;
    bool hasReading = false;
    double lastReadings[Lv2ReadingPort::maxValues] = {};
};

} // namespace Steinberg::Vst
