#pragma once
// A VST 3 message with its attributes in fixed storage: set, read and sent
// without allocating, so the adapter can exchange messages with the
// processor on the audio thread. Owned by the adapter, which outlives every
// use, so the reference count is not used for lifetime.

#include "pluginterfaces/vst/ivstattributes.h"
#include "pluginterfaces/vst/ivstmessage.h"

namespace Steinberg::Vst {

class Lv2FixedAttributeList final : public IAttributeList {
public:
    static constexpr int32 capacity = 8;
    static constexpr int32 idLength = 32;

    void clear() noexcept { used = 0; }

    tresult PLUGIN_API setInt(AttrID id, int64 value) override;
    tresult PLUGIN_API getInt(AttrID id, int64& value) override;
    tresult PLUGIN_API setFloat(AttrID id, double value) override;
    tresult PLUGIN_API getFloat(AttrID id, double& value) override;
    // Text and binary attributes would need storage of their own; refused.
    tresult PLUGIN_API setString(AttrID, const TChar*) override { return kResultFalse; }
    tresult PLUGIN_API getString(AttrID, TChar*, uint32) override { return kResultFalse; }
    tresult PLUGIN_API setBinary(AttrID, const void*, uint32) override { return kResultFalse; }
    tresult PLUGIN_API getBinary(AttrID, const void*&, uint32&) override { return kResultFalse; }

    tresult PLUGIN_API queryInterface(const TUID queried, void** object) override;
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }

private:
    struct Entry {
        char id[idLength] = {};
        bool isFloat = false;
        int64 integer = 0;
        double number = 0.0;
    };
    // The entry for id, a new one if there is room, else null.
    Entry* slot(AttrID id, bool create) noexcept;

    Entry entries[capacity];
    int32 used = 0;
};

class Lv2FixedMessage final : public IMessage {
public:
    static constexpr int32 idLength = 32;

    // Forgets the id and the attributes.
    void clear() noexcept;

    FIDString PLUGIN_API getMessageID() override { return messageId; }
    // Ids longer than the storage are cut short.
    void PLUGIN_API setMessageID(FIDString id) override;
    IAttributeList* PLUGIN_API getAttributes() override { return &attributes; }

    tresult PLUGIN_API queryInterface(const TUID queried, void** object) override;
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }

private:
    char messageId[idLength] = {};
    Lv2FixedAttributeList attributes;
};

} // namespace Steinberg::Vst
