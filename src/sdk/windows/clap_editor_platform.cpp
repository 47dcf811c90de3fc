// CLAP hosts on Windows pump window messages, which run the view's timer:
// the view needs nothing of the host but its window.
#include "sdk/clap/clap_editor_platform.h"

#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg::Vst {

namespace {

class WindowsPlatform final : public ClapEditorPlatform {
public:
    const char* windowApi() const override { return clap::CLAP_WINDOW_API_WIN32; }
    FIDString windowType() const override { return kPlatformTypeHWND; }
    void* parentHandle(const clap::clap_window_t& window) const override { return window.win32; }
    FUnknown* frameServices() override { return nullptr; }
    bool onTimer(clap::clap_id) override { return false; }
    void onFd(int, std::uint32_t) override {}
};

} // namespace

std::unique_ptr<ClapEditorPlatform> makeClapEditorPlatform(const clap::clap_host_t*)
{
    return std::make_unique<WindowsPlatform>();
}

} // namespace Steinberg::Vst
