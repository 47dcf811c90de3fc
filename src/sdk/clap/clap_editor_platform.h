#pragma once
// What an editor in a CLAP host's window needs on this platform besides the
// parent window (src/sdk/linux, src/sdk/windows): the window API it speaks,
// the handle VST 3 views expect, and on Linux the run loop a VST 3 view asks
// its frame for, played by the host's timer-support and posix-fd-support.

#include <memory>

#include "pluginterfaces/base/funknown.h"
#include "sdk/clap/clap_abi.h"

namespace Steinberg::Vst {

class ClapEditorPlatform {
public:
    virtual ~ClapEditorPlatform() = default;
    // The CLAP window API (CLAP_WINDOW_API_X11 or _WIN32) and the VST 3
    // platform type of the same handle.
    virtual const char* windowApi() const = 0;
    virtual FIDString windowType() const = 0;
    // The handle IPlugView::attached takes for the host's window.
    virtual void* parentHandle(const clap::clap_window_t& window) const = 0;
    // Offered to the view by its plug-in frame besides IPlugFrame; may be null.
    virtual FUnknown* frameServices() = 0;
    // The host's timer and descriptor calls; false for a timer not ours.
    virtual bool onTimer(clap::clap_id timer) = 0;
    virtual void onFd(int fd, std::uint32_t flags) = 0;
};

// Null when the host lacks what this platform needs (on Linux: both
// timer-support and posix-fd-support).
std::unique_ptr<ClapEditorPlatform> makeClapEditorPlatform(const clap::clap_host_t* host);

} // namespace Steinberg::Vst
