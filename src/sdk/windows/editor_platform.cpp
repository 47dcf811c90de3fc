// The editor on Windows: hosts pass an HWND; the window needs nothing else
// of the host.
#include "sdk/vstgui_editor.h"

namespace Steinberg::Vst {

FIDString EditorPlatform::nativeType() { return kPlatformTypeHWND; }

std::unique_ptr<VSTGUI::IPlatformFrameConfig> EditorPlatform::frameConfig(IPlugFrame*, bool& supported)
{
    supported = true;
    return nullptr;
}

} // namespace Steinberg::Vst
