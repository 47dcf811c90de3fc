#pragma once
// The component handler the adapter gives the controller: edits and restart
// requests go to the adapter, which passes them on to the VST 2 host.

#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace Steinberg::Vst {

// What the handler reports to; implemented by the adapter.
class Vst2EditListener {
public:
    virtual void beginEdit(ParamID id) = 0;
    virtual void performEdit(ParamID id, ParamValue value) = 0;
    virtual void endEdit(ParamID id) = 0;
    virtual void restartComponent(int32 flags) = 0;

protected:
    ~Vst2EditListener() = default;
};

class Vst2ComponentHandler final : public IComponentHandler {
public:
    explicit Vst2ComponentHandler(Vst2EditListener& listener);
    virtual ~Vst2ComponentHandler() = default;

    // After this the handler answers kResultFalse: the controller may keep
    // it beyond the adapter's lifetime.
    void detach() { listener = nullptr; }

    tresult PLUGIN_API beginEdit(ParamID id) override;
    tresult PLUGIN_API performEdit(ParamID id, ParamValue valueNormalized) override;
    tresult PLUGIN_API endEdit(ParamID id) override;
    tresult PLUGIN_API restartComponent(int32 flags) override;

    DECLARE_FUNKNOWN_METHODS

private:
    Vst2EditListener* listener;
};

} // namespace Steinberg::Vst
