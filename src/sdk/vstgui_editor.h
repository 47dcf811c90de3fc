#pragma once
// Stands in for the VST 3 SDK's VSTGUI binding (public.sdk/source/vst/
// vstguieditor.h): an editor view whose window content is a VSTGUI frame,
// with a timer that lets the frame run its idle work while the view is
// attached to a host window.

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/vst/vsteditcontroller.h"
#include "toolkit/cbaseobject.h"
#include "toolkit/cframe.h"
#include "toolkit/cvstguitimer.h"
#include "toolkit/platform_frame.h"
#include "toolkit/vstguieditorinterface.h"

#include <memory>

namespace Steinberg::Vst {

class VSTGUIEditor : public EditorView,
                     public IPlugViewContentScaleSupport,
                     public VSTGUI::VSTGUIEditorInterface,
                     public VSTGUI::CBaseObject {
public:
    // size: the editor's size at a scale of 1.
    VSTGUIEditor(void* controller, ViewRect* size = nullptr);
    ~VSTGUIEditor() override;

    // Builds the window content on the host's parent window; the product's editor implements them.
    virtual bool PLUGIN_API open(void* parent, const VSTGUI::PlatformType& type = VSTGUI::PlatformType::kDefaultNative) = 0;
    virtual void PLUGIN_API close() = 0;

    void setIdleRate(int32 millisec);

    // IPlugView
    tresult PLUGIN_API isPlatformTypeSupported(FIDString type) SMTG_OVERRIDE;
    // Starts the timer, opens, and sizes the host's window from the frame;
    // kResultFalse when the host cannot run the editor (on Linux, a host
    // that offers no run loop) or the window cannot be made.
    tresult PLUGIN_API attached(void* parent, FIDString type) SMTG_OVERRIDE;
    // Stops the timer and closes; works after the host has dropped its frame.
    tresult PLUGIN_API removed() SMTG_OVERRIDE;
    tresult PLUGIN_API onKeyDown(char16 key, int16 keyMsg, int16 modifiers) SMTG_OVERRIDE;
    tresult PLUGIN_API onKeyUp(char16 key, int16 keyMsg, int16 modifiers) SMTG_OVERRIDE;
    tresult PLUGIN_API onWheel(float distance) SMTG_OVERRIDE;
    tresult PLUGIN_API onSize(ViewRect* newSize) SMTG_OVERRIDE;

    // IPlugViewContentScaleSupport: the view and everything in it become
    // factor times their size, drawn at that size. Hosts that never call it
    // get the window's own display scale where the platform tells one.
    tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) SMTG_OVERRIDE;
    // The scale everything is drawn at: the host's (or the display's) times
    // the user's zoom.
    double getContentScaleFactor() const { return contentScale; }

    // The user's zoom on top of the host's scale. While attached the host
    // is asked to resize its window; one that refuses keeps the editor as
    // it was, and the answer is false.
    bool setZoom(double factor);
    double getZoom() const { return zoom; }

    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
    uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return EditorView::addRef(); }
    uint32 PLUGIN_API release() SMTG_OVERRIDE { return EditorView::release(); }

    // VSTGUIEditorInterface: VST 3 edits go through the controller, not here.
    std::int32_t getKnobMode() const override;

    // The timer's message lets the frame run its idle work.
    VSTGUI::CMessageResult notify(VSTGUI::CBaseObject* sender, VSTGUI::IdStringPtr message) override;

protected:
    // The settings the frame's window needs on this platform, made by
    // attached; pass them to CFrame::open.
    VSTGUI::IPlatformFrameConfig* getPlatformFrameConfig() const { return platformConfig.get(); }
    // Named apart from IPlugView::setFrame, which takes the host's frame.
    void setEditorFrame(VSTGUI::CFrame* newFrame) { frame = newFrame; }

    std::unique_ptr<VSTGUI::CVSTGUITimer> timer;

    // The size at a scale of 1.

private:
    // Host scale and zoom in force: the frame, the view's size and the
    // host's window follow. False when the host refused the size and
    // keepIfRefused put everything back.
    bool applyScale(double hostFactor, double zoomFactor, bool keepIfRefused);

    std::unique_ptr<VSTGUI::IPlatformFrameConfig> platformConfig;
    ViewRect unscaledRect;
    double hostScale = 1;
    double zoom = 1;
    double contentScale = 1;
    bool hostSetScale = false;
};

// What attaching needs of the host on this platform (src/sdk/linux,
// src/sdk/windows).
namespace EditorPlatform {
// The platform type a host passes for a native window.
FIDString nativeType();
// The frame settings for a host frame, or null with supported false when
// the host cannot run an editor here.
std::unique_ptr<VSTGUI::IPlatformFrameConfig> frameConfig(IPlugFrame* plugFrame, bool& supported);
} // namespace EditorPlatform

} // namespace Steinberg::Vst
