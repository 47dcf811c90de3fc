#include "sdk/vst2/vst2_editor.h"

#include "base/source/fobject.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"
#include "sdk/vst2/vst2_editor_platform.h"

#include <algorithm>

namespace Steinberg::Vst {

namespace {

// The host's side of the view: a resize request becomes
// audioMasterSizeWindow, refused where the host answers 0; the platform's
// services (a run loop) are offered.
class Vst2PlugFrame final : public FObject, public IPlugFrame {
public:
    Vst2PlugFrame(vst2::AEffect& effect, vst2::audioMasterCallback host, FUnknown* services)
        : plugin(effect), audioMaster(host), offered(services)
    {
    }

    tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) override
    {
        if (!view || !newSize)
            return kInvalidArgument;
        // 0: the host keeps its window's size (or cannot change it).
        if (!audioMaster ||
            audioMaster(&plugin, vst2::audioMasterSizeWindow, newSize->getWidth(), newSize->getHeight(), nullptr, 0.0f) == 0)
            return kResultFalse;
        return view->onSize(newSize);
    }

    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
    {
        QUERY_INTERFACE(iid, obj, IPlugFrame::iid, IPlugFrame)
        if (offered && offered->queryInterface(iid, obj) == kResultOk)
            return kResultOk;
        return FObject::queryInterface(iid, obj);
    }
    REFCOUNT_METHODS(FObject)

private:
    vst2::AEffect& plugin;
    vst2::audioMasterCallback audioMaster;
    FUnknown* offered;
};

// The controller's view in a VST 2 host's window. A view is made for the
// size question or the open, and a closed one is let go: the next open
// makes a fresh one, as VST 3 hosts do.
class ViewEditor final : public Vst2Editor {
public:
    ViewEditor(IEditController& owner, vst2::AEffect& effect, vst2::audioMasterCallback host, IPlugView* first)
        : controller(owner), platform(makeVst2EditorPlatform()),
          frame(owned(new Vst2PlugFrame(effect, host, platform->frameServices()))), view(owned(first))
    {
    }
    ~ViewEditor() override { close(); }

    bool getRect(vst2::ERect** rect) override
    {
        if (!ensureView())
            return false;
        ViewRect size;
        if (view->getSize(&size) != kResultOk)
            return false;
        const auto clampToShort = [](int32 value) { return vst2::VstInt16(std::clamp(value, 0, 32767)); };
        stored = {clampToShort(size.top), clampToShort(size.left), clampToShort(size.bottom), clampToShort(size.right)};
        *rect = &stored;
        return true;
    }

    bool open(void* parentWindow) override
    {
        if (open_ || !parentWindow || !ensureView())
            return false;
        view->setFrame(frame);
        open_ = view->attached(parentWindow, platform->windowType()) == kResultTrue;
        if (!open_)
            view->setFrame(nullptr);
        return open_;
    }

    void close() override
    {
        if (!view)
            return;
        if (open_)
            view->removed();
        view->setFrame(nullptr);
        view = nullptr;
        open_ = false;
    }

    void idle() override
    {
        if (open_)
            platform->idle();
    }

    bool key(bool down, char16 character, int16 virtualKey, int16 modifiers) override
    {
        if (!open_)
            return false;
        const tresult used = down ? view->onKeyDown(character, virtualKey, modifiers)
                                  : view->onKeyUp(character, virtualKey, modifiers);
        return used == kResultTrue;
    }

private:
    bool ensureView()
    {
        if (!view)
            view = owned(controller.createView(ViewType::kEditor));
        return view != nullptr;
    }

    IEditController& controller;
    std::unique_ptr<Vst2EditorPlatform> platform;
    IPtr<Vst2PlugFrame> frame;
    IPtr<IPlugView> view;
    vst2::ERect stored{};
    bool open_ = false;
};

} // namespace

std::unique_ptr<Vst2Editor> createVst2Editor(IEditController& controller, vst2::AEffect& effect,
                                             vst2::audioMasterCallback audioMaster)
{
    IPlugView* view = controller.createView(ViewType::kEditor);
    if (!view)
        return nullptr;
    return std::make_unique<ViewEditor>(controller, effect, audioMaster, view);
}

} // namespace Steinberg::Vst
