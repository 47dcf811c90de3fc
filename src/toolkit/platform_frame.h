#pragma once
// A frame's window in a host: the one place that knows the window system.
// Each backend (x11/, win32/) implements makePlatformFrame; a frame without
// one renders offscreen only.

#include "toolkit/crect.h"

#include <cstdint>
#include <memory>

namespace VSTGUI {

class CFrame;

enum class PlatformType : std::int32_t {
    kHWND = 0,
    kWindowRef,
    kNSView,
    kUIView,
    kHWNDTopLevel,
    kX11EmbedWindowID,
    kDefaultNative = -1,
};

// Backend-specific settings a host integration passes to CFrame::open.
class IPlatformFrameConfig {
public:
    virtual ~IPlatformFrameConfig() = default;
};

class IPlatformFrame {
public:
    virtual ~IPlatformFrame() = default;
    // Repaints what the frame has invalidated and shows it in the window.
    virtual void update() = 0;
    // Resizes the window.
    virtual void setSize(const CRect& size) = 0;
    // The window's native handle (X11 window id, HWND).
    virtual void* getNativeHandle() const = 0;
    // The display's scale where the window is, for hosts that do not say.
    virtual double getNativeScale() const { return 1.0; }
};

// The window for a frame inside parent, or null when it cannot be made (or
// the platform has no backend). The frame outlives the window.
std::unique_ptr<IPlatformFrame> makePlatformFrame(CFrame& frame, void* parent, PlatformType type,
                                                  IPlatformFrameConfig* config);

} // namespace VSTGUI
