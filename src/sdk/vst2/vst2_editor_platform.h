#pragma once
// What an editor in a VST 2 host's window needs on this platform besides
// the parent window (src/sdk/linux, src/sdk/windows). VST 2 hosts offer no
// run loop: on Linux the view gets one of the adapter's own, which the
// host's effEditIdle calls drive.

#include "pluginterfaces/base/funknown.h"

#include <memory>

namespace Steinberg::Vst {

class Vst2EditorPlatform {
public:
    virtual ~Vst2EditorPlatform() = default;
    // The platform type of the window handle a VST 2 host passes.
    virtual FIDString windowType() const = 0;
    // Offered to the view by its plug-in frame besides IPlugFrame; may be null.
    virtual FUnknown* frameServices() = 0;
    // effEditIdle: whatever the view waits for runs now, without blocking.
    virtual void idle() = 0;
};

std::unique_ptr<Vst2EditorPlatform> makeVst2EditorPlatform();

} // namespace Steinberg::Vst
