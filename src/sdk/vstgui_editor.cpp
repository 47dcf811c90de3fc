#include "sdk/vstgui_editor.h"

#include <cmath>
#include <cstring>

namespace Steinberg::Vst {

VSTGUIEditor::VSTGUIEditor(void* owner, ViewRect* size)
    : EditorView(static_cast<EditController*>(owner), size),
      timer(std::make_unique<VSTGUI::CVSTGUITimer>(static_cast<VSTGUI::CBaseObject*>(this), 100, false))
{
    if (size)
        unscaledRect = *size;
}

VSTGUIEditor::~VSTGUIEditor() = default;

void VSTGUIEditor::setIdleRate(int32 millisec) { timer->setFireTime(std::uint32_t(millisec)); }

tresult PLUGIN_API VSTGUIEditor::isPlatformTypeSupported(FIDString type)
{
    return type && std::strcmp(type, EditorPlatform::nativeType()) == 0 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::attached(void* parent, FIDString type)
{
    if (isPlatformTypeSupported(type) != kResultTrue)
        return kResultFalse;
    if (frame)
        return kResultFalse;
    bool supported = false;
    platformConfig = EditorPlatform::frameConfig(plugFrame, supported);
    if (!supported)
        return kResultFalse;
    timer->start();
    if (!open(parent, VSTGUI::PlatformType::kDefaultNative) || !frame || !frame->getPlatformFrame()) {
        timer->stop();
        close();
        platformConfig.reset();
        return kResultFalse;
    }
    frame->setScaleFactor(contentScale);
    const VSTGUI::CRect device = frame->getDeviceSize();
    ViewRect size(0, 0, int32(device.getWidth()), int32(device.getHeight()));
    setRect(size);
    if (plugFrame)
        plugFrame->resizeView(this, &size);
    const tresult result = EditorView::attached(parent, type);
    if (!hostSetScale) {
        const double native = frame->getPlatformFrame()->getNativeScale();
        if (native != 1.0)
            applyScale(native, zoom, false);
    }
    return result;
}

tresult PLUGIN_API VSTGUIEditor::setContentScaleFactor(ScaleFactor factor)
{
    if (!(factor > 0) || factor > 8)
        return kInvalidArgument;
    hostSetScale = true;
    applyScale(static_cast<double>(factor), zoom, false);
    return kResultTrue;
}

bool VSTGUIEditor::setZoom(double factor)
{
    if (!(factor >= 0.5 && factor <= 4))
        return false;
    return applyScale(hostScale, factor, true);
}

bool VSTGUIEditor::applyScale(double hostFactor, double zoomFactor, bool keepIfRefused)
{
    const double previousHost = hostScale;
    const double previousZoom = zoom;
    const ViewRect previousRect = rect;
    hostScale = hostFactor;
    zoom = zoomFactor;
    const double factor = hostScale * zoom;
    contentScale = factor;
    ViewRect size(0, 0, int32(std::ceil(unscaledRect.getWidth() * factor - 1e-9)),
                  int32(std::ceil(unscaledRect.getHeight() * factor - 1e-9)));
    if (frame) {
        frame->setScaleFactor(factor);
        const VSTGUI::CRect device = frame->getDeviceSize();
        size = ViewRect(0, 0, int32(device.getWidth()), int32(device.getHeight()));
    }
    setRect(size);
    if (!frame || !plugFrame)
        return true;
    const tresult resized = plugFrame->resizeView(this, &size);
    if (resized == kResultTrue || !keepIfRefused)
        return true;
    // The host kept its window as it was: so does the editor, whole.
    hostScale = previousHost;
    zoom = previousZoom;
    contentScale = hostScale * zoom;
    frame->setScaleFactor(contentScale);
    setRect(previousRect);
    return false;
}

tresult PLUGIN_API VSTGUIEditor::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, IPlugViewContentScaleSupport::iid, IPlugViewContentScaleSupport)
    return EditorView::queryInterface(iid, obj);
}

tresult PLUGIN_API VSTGUIEditor::removed()
{
    timer->stop();
    if (frame)
        close();
    // The run loop goes only now, after the window has unregistered from it.
    platformConfig.reset();
    return EditorView::removed();
}

namespace {

// The SDK's virtual key codes and modifier bits have VSTGUI's values.
VSTGUI::VstKeyCode keyCode(char16 key, int16 keyMsg, int16 modifiers)
{
    VSTGUI::VstKeyCode code;
    code.character = key;
    code.virt = static_cast<unsigned char>(keyMsg);
    code.modifier = static_cast<unsigned char>(modifiers);
    return code;
}

} // namespace

tresult PLUGIN_API VSTGUIEditor::onKeyDown(char16 key, int16 keyMsg, int16 modifiers)
{
    VSTGUI::VstKeyCode code = keyCode(key, keyMsg, modifiers);
    return frame && frame->onKeyDown(code) == 1 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::onKeyUp(char16 key, int16 keyMsg, int16 modifiers)
{
    VSTGUI::VstKeyCode code = keyCode(key, keyMsg, modifiers);
    return frame && frame->onKeyUp(code) == 1 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::onWheel(float distance)
{
    VSTGUI::CPoint where;
    if (!frame || !frame->getCurrentMouseLocation(where))
        return kResultFalse;
    return frame->onWheel(where, VSTGUI::kMouseWheelAxisY, distance, 0) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API VSTGUIEditor::onSize(ViewRect* newSize)
{
    // The window is as large as the host made it; the drawing keeps its scale.
    if (newSize && frame && frame->getPlatformFrame())
        frame->getPlatformFrame()->setSize(VSTGUI::CRect(0, 0, newSize->getWidth(), newSize->getHeight()));
    return EditorView::onSize(newSize);
}

std::int32_t VSTGUIEditor::getKnobMode() const
{
    switch (EditController::getHostKnobMode()) {
    case kRelativCircularMode: return VSTGUI::kRelativCircularMode;
    case kLinearMode: return VSTGUI::kLinearMode;
    default: return VSTGUI::kCircularMode;
    }
}

VSTGUI::CMessageResult VSTGUIEditor::notify(VSTGUI::CBaseObject* sender, VSTGUI::IdStringPtr message)
{
    if (message && std::strcmp(message, VSTGUI::CVSTGUITimer::kMsgTimer) == 0) {
        if (frame)
            frame->idle();
        return VSTGUI::kMessageNotified;
    }
    return VSTGUI::CBaseObject::notify(sender, message);
}

} // namespace Steinberg::Vst
