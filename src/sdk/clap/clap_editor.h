#pragma once
// The gui extension's side of the adapter: the controller's editor view in
// a CLAP host's window, embedded only, at the size the view reports (no
// free resizing), scaled by set_scale through the view's content scale.

#include <cstdint>
#include <memory>

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "sdk/clap/clap_abi.h"
#include "sdk/clap/clap_editor_platform.h"

namespace Steinberg::Vst {

class ClapPlugFrame;

class ClapEditor {
public:
    // Null when the platform's needs are not offered by the host.
    static std::unique_ptr<ClapEditor> create(IEditController& controller, const clap::clap_host_t* host);
    ClapEditor(IEditController& controller, const clap::clap_host_t* host,
               std::unique_ptr<ClapEditorPlatform> platform);
    ~ClapEditor();
    ClapEditor(const ClapEditor&) = delete;
    ClapEditor& operator=(const ClapEditor&) = delete;

    bool isApiSupported(const char* api, bool floating) const;
    const char* preferredApi() const { return platform->windowApi(); }
    bool createView(const char* api, bool floating);
    void destroyView();
    bool setScale(double scale);
    bool size(std::uint32_t& width, std::uint32_t& height) const;
    // The only size is the view's own.
    bool adjustSize(std::uint32_t& width, std::uint32_t& height) const;
    bool setSize(std::uint32_t width, std::uint32_t height) const;
    bool setParent(const clap::clap_window_t& window);
    bool hasView() const { return view != nullptr; }

    bool onTimer(clap::clap_id timer) { return platform->onTimer(timer); }
    void onFd(int fd, std::uint32_t flags) { platform->onFd(fd, flags); }

private:
    IEditController& controller;
    std::unique_ptr<ClapEditorPlatform> platform;
    IPtr<ClapPlugFrame> frame;
    IPtr<IPlugView> view;
    bool attached = false;
};

} // namespace Steinberg::Vst
