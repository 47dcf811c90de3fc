// VST 2 hosts on Windows pump window messages, which run the view's timer:
// the view needs nothing else.
#include "sdk/vst2/vst2_editor_platform.h"

#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg::Vst {

namespace {

class WindowsPlatform final : public Vst2EditorPlatform {
public:
    FIDString windowType() const override { return kPlatformTypeHWND; }
    FUnknown* frameServices() override { return nullptr; }
    void idle() override {}
};

} // namespace

std::unique_ptr<Vst2EditorPlatform> makeVst2EditorPlatform() { return std::make_unique<WindowsPlatform>(); }

} // namespace Steinberg::Vst
