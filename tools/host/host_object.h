#pragma once
// Reference counting and interface lookup for the host's own objects that
// offer a single VST 3 interface. Objects start with one reference, held by
// their creator, and delete themselves at the last release.

#include <atomic>

#include "pluginterfaces/base/funknown.h"

namespace tarvel::host {

template <typename Interface>
class HostObject : public Interface {
public:
    HostObject() = default;
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** object) override
    {
        if (!object)
            return Steinberg::kInvalidArgument;
        if (Steinberg::FUnknownPrivate::iidEqual(queried, Interface::iid) ||
            Steinberg::FUnknownPrivate::iidEqual(queried, Steinberg::FUnknown::iid)) {
            addRef();
            *object = static_cast<Interface*>(this);
            return Steinberg::kResultOk;
        }
        *object = nullptr;
        return Steinberg::kNoInterface;
    }

    Steinberg::uint32 PLUGIN_API addRef() override { return ++references; }

    Steinberg::uint32 PLUGIN_API release() override
    {
        const Steinberg::uint32 left = --references;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~HostObject() = default;

private:
    std::atomic<Steinberg::uint32> references{1};
};

} // namespace tarvel::host
