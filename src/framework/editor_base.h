#pragma once
// The editor's generic half: the frame's lifetime, the layout document,
// parameter plumbing between the knobs and the controller, the timer's
// duties, the knobs' context menu and the parameter finder. The product
// supplies the views, the assets and its reaction to parameter changes.

#include "framework/asset_registry.h"
#include "framework/editor_settings.h"
#include "framework/host_boundary.h"
#include "framework/layout_json.h"
#include "framework/manual.h"
#include "framework/resource_cache.h"
#include "foundation/scrambled_text.h"
#include "platform/platform_services.h"
#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivstplugview.h"
#include "sdk/vstgui_editor.h"
#include "toolkit/ccontrol.h"
#include "toolkit/cframe.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace vantle::vst {

template <typename Params>
class EditorBase : public Steinberg::Vst::VSTGUIEditor,
                   public VSTGUI::IControlListener,
                   public Steinberg::Vst::IParameterFinder,
                   public Steinberg::Vst::IContextMenuTarget {
public:
    using ParamID = Steinberg::Vst::ParamID;
    using ParamValue = Steinberg::Vst::ParamValue;

    // settingsName: the folder of the user's editor settings (the zoom);
    // none, no settings.
    explicit EditorBase(Steinberg::Vst::EditController* owner, std::string settingsName = {})
        : VSTGUIEditor(owner, &fixedSize), settings(std::move(settingsName))
    {
        lastFullRedraw = clock();
        timer->setFireTime(timerInterval);
        setRect(Steinberg::ViewRect(0, 0, frameWidth, frameHeight));
        if (!settings.empty())
            setZoom(savedZoom(settings));
    }
    ~EditorBase() override
    {
        if (frame)
            closeFrame();
    }

    bool PLUGIN_API open(void* parent, const VSTGUI::PlatformType&) override
    {
        if (frame)
            return false;
        try {
            resourceCache = std::make_unique<ResourceCache>(
                [this](const std::string& name) { return assetBytes(getUiAssets(), name); });
            auto* newFrame = new VSTGUI::CFrame(VSTGUI::CRect(0, 0, frameWidth, frameHeight), this);
            setEditorFrame(newFrame);
            newFrame->setBackgroundColor(0xFF7F7F7F);
            newFrame->setScaleFactor(getContentScaleFactor());
            createViews();
            applyLayoutJson(getLayoutJson(), viewsByName, getLayoutLogPath());
            for (ParamID id = 0; id < ParamID(Params::count); ++id)
                onParameterChanged(id, getController()->getParamNormalized(id));
            newFrame->open(parent, VSTGUI::PlatformType::kDefaultNative, getPlatformFrameConfig());
        } catch (...) {
            // Whatever part of the window was built stays.
        }
        return true;
    }

    void PLUGIN_API close() override
    {
        try {
            closeFrame();
        } catch (...) {
        }
    }

    // Every parameter change from any source, and each initial value on open.
    virtual void onParameterChanged(ParamID, ParamValue) {}
    virtual void createViews() {}
    virtual std::string getLayoutJson() = 0;
    // A layout file reloaded on every tick while not empty (a designer's aid).
    virtual std::string getLayoutReloadPath() = 0;
    virtual std::string getLayoutLogPath() = 0;
    virtual const AssetRegistry& getUiAssets() = 0;
    virtual const AssetRegistry& getManualAssets() = 0;

    VSTGUI::CMessageResult notify(VSTGUI::CBaseObject* sender, VSTGUI::IdStringPtr message) override
    {
        try {
            if (message && std::strcmp(message, VSTGUI::CVSTGUITimer::kMsgTimer) == 0) {
                reloadLayout();
                if (clock() - lastFullRedraw > fullRedrawInterval) {
                    if (frame)
                        frame->invalid();
                    lastFullRedraw = clock();
                }
            }
            return VSTGUIEditor::notify(sender, message);
        } catch (...) {
            return VSTGUI::kMessageUnknown;
        }
    }

    // IControlListener
    void valueChanged(VSTGUI::CControl* control) override
    {
        try {
            if (!isParameterTag(control))
                return;
            const auto tag = ParamID(control->getTag());
            const auto value = ParamValue(control->getValue());
            getController()->setParamNormalized(tag, value);
            getController()->performEdit(tag, value);
        } catch (...) {
        }
    }
    void controlBeginEdit(VSTGUI::CControl* control) override
    {
        try {
            if (isParameterTag(control))
                getController()->beginEdit(ParamID(control->getTag()));
        } catch (...) {
        }
    }
    void controlEndEdit(VSTGUI::CControl* control) override
    {
        try {
            if (isParameterTag(control))
                getController()->endEdit(ParamID(control->getTag()));
        } catch (...) {
        }
    }
    std::int32_t controlModifierClicked(VSTGUI::CControl* control, VSTGUI::CButtonState buttons) override
    {
        try {
            return showContextMenu(control, buttons) ? 1 : 0;
        } catch (...) {
            return 0;
        }
    }

    // IParameterFinder
    Steinberg::tresult PLUGIN_API findParameter(Steinberg::int32 xPos, Steinberg::int32 yPos, ParamID& resultTag) override
    {
        return guarded([&]() -> Steinberg::tresult {
            if (!frame)
                return Steinberg::kResultFalse;
            auto* control = dynamic_cast<VSTGUI::CControl*>(frame->getViewAt(VSTGUI::CPoint(xPos, yPos)));
            if (!isParameterTag(control))
                return Steinberg::kResultFalse;
            resultTag = ParamID(control->getTag());
            return Steinberg::kResultOk;
        });
    }

    // VSTGUIEditorInterface: the background's menu, the zoom steps.
    bool onBackgroundContextMenu(const VSTGUI::CPoint& where) override
    {
        try {
            Steinberg::IPtr<Steinberg::Vst::IContextMenu> menu = makeContextMenu(nullptr);
            if (!menu)
                return false;
            addZoomItems(*menu, false);
            popUp(*menu, where);
            return true;
        } catch (...) {
            return false;
        }
    }

    // IContextMenuTarget: 1000 + id resets parameter id, 2000 + id opens the
    // manual, 3000 + percent zooms.
    Steinberg::tresult PLUGIN_API executeMenuItem(Steinberg::int32 tag) override
    {
        return guarded([&]() -> Steinberg::tresult {
            const Steinberg::int32 group = tag / 1000;
            if (group == 3) {
                const int percent = int(tag % 1000);
                if (std::find(zoomSteps.begin(), zoomSteps.end(), percent) == zoomSteps.end())
                    return Steinberg::kResultFalse;
                // Remembered only once the host has made room for it.
                if (!setZoom(percent / 100.0))
                    return Steinberg::kResultFalse;
                if (!settings.empty())
                    saveZoom(settings, percent / 100.0);
                return Steinberg::kResultOk;
            }
            if (group == 1) {
                const Steinberg::int32 id = tag % 1000;
                if (id < 0 || id >= Params::count)
                    return Steinberg::kResultFalse;
                const ParamValue value = std::clamp(ParamValue(Params{}[id]), 0.0, 1.0);
                auto* owner = getController();
                owner->beginEdit(ParamID(id));
                owner->setParamNormalized(ParamID(id), value);
                owner->performEdit(ParamID(id), value);
                owner->endEdit(ParamID(id));
                return Steinberg::kResultOk;
            }
            if (group == 2)
                openManual(getManualAssets());
            return Steinberg::kResultFalse;
        });
    }

    // Between the fixed size and 50 pixels more, either way.
    Steinberg::tresult PLUGIN_API checkSizeConstraint(Steinberg::ViewRect* proposed) override
    {
        return guarded([&]() -> Steinberg::tresult {
            if (!proposed)
                return Steinberg::kInvalidArgument;
            // At the content scale, like the view's size.
            const double scale = getContentScaleFactor();
            const auto clamp = [scale](Steinberg::int32 size, Steinberg::int32 fixed) {
                return std::clamp(size, Steinberg::int32(std::lround(fixed * scale)),
                                  Steinberg::int32(std::lround((fixed + 50) * scale)));
            };
            proposed->right = proposed->left + clamp(proposed->getWidth(), frameWidth);
            proposed->bottom = proposed->top + clamp(proposed->getHeight(), frameHeight);
            return Steinberg::kResultOk;
        });
    }
    Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override
    {
        return guarded([&] { return VSTGUIEditor::onSize(newSize); });
    }

    // FUnknown, shared by every interface of the editor.
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override
    {
        QUERY_INTERFACE(iid, obj, Steinberg::Vst::IParameterFinder::iid, Steinberg::Vst::IParameterFinder)
        QUERY_INTERFACE(iid, obj, Steinberg::Vst::IContextMenuTarget::iid, Steinberg::Vst::IContextMenuTarget)
        return VSTGUIEditor::queryInterface(iid, obj);
    }
    Steinberg::uint32 PLUGIN_API addRef() override { return VSTGUIEditor::addRef(); }
    Steinberg::uint32 PLUGIN_API release() override { return VSTGUIEditor::release(); }

    // The context menu's labels and the hosts that get none.
    static std::string resetLabel() { return VANTLE_TEXT("Reset to Default"); }
    static std::string manualLabel() { return VANTLE_TEXT("Open Manual"); }
    static std::string zoomLabel() { return VANTLE_TEXT("Zoom"); }
    static std::string zoomStepLabel(int percent) { return std::to_string(percent) + VANTLE_TEXT(" %"); }
    static std::string noMenuHostMarker() { return VANTLE_TEXT("nocontextmenu"); }

    static constexpr std::uint32_t timerInterval = 50;
    // A whole-frame repaint at most this often (100-nanosecond ticks).
    static constexpr std::int64_t fullRedrawInterval = 50'000'000;

protected:
    // Now, in 100-nanosecond ticks.
    virtual std::int64_t clock() const
    {
        using namespace std::chrono;
        return duration_cast<duration<std::int64_t, std::ratio<1, 10'000'000>>>(steady_clock::now().time_since_epoch())
            .count();
    }

    static bool isParameterTag(const VSTGUI::CControl* control)
    {
        return control && std::uint32_t(control->getTag()) < std::uint32_t(Params::count);
    }

    // The size the view is made with, at a scale of 1.
    inline static Steinberg::ViewRect fixedSize{0, 0, 500, 256};

    ViewsByName viewsByName;
    std::unique_ptr<ResourceCache> resourceCache;
    Steinberg::int32 frameWidth = 500;
    Steinberg::int32 frameHeight = 256;
    std::int64_t lastFullRedraw = 0;

private:
    void closeFrame()
    {
        viewsByName.clear();
        VSTGUI::CFrame* old = frame;
        setEditorFrame(nullptr);
        if (old)
            old->close();
        delete old; // the views go with it
        resourceCache.reset();
    }

    void reloadLayout()
    {
        try {
            const std::string path = getLayoutReloadPath();
            if (path.empty())
                return;
            std::ifstream file(path, std::ios::binary);
            std::ostringstream text;
            text << file.rdbuf();
            applyLayoutJson(text.str(), viewsByName, getLayoutLogPath());
        } catch (...) {
        }
    }

    bool hostRefusesMenus() const
    {
        std::string path = platform::hostExecutablePath().value_or(std::string());
        std::transform(path.begin(), path.end(), path.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        return path.find(noMenuHostMarker()) != std::string::npos;
    }

    // The host's menu for a parameter (or the editor, with none); null when
    // the host offers no menus or is one that must not get them.
    Steinberg::IPtr<Steinberg::Vst::IContextMenu> makeContextMenu(const ParamID* id)
    {
        if (hostRefusesMenus())
            return nullptr;
        Steinberg::FUnknownPtr<Steinberg::Vst::IComponentHandler3> handler(getController()->getComponentHandler());
        if (!handler)
            return nullptr;
        return Steinberg::owned(handler->createContextMenu(static_cast<Steinberg::IPlugView*>(this), id));
    }

    bool showContextMenu(VSTGUI::CControl* control, VSTGUI::CButtonState buttons)
    {
        if (!isParameterTag(control) || !buttons.isRightButton())
            return false;
        const auto id = ParamID(control->getTag());
        Steinberg::IPtr<Steinberg::Vst::IContextMenu> menu = makeContextMenu(&id);
        if (!menu)
            return false;
        addMenuItem(*menu, resetLabel(), Steinberg::int32(1000 + id));
        addMenuItem(*menu, manualLabel(), Steinberg::int32(2000 + id));
        addZoomItems(*menu, true);
        VSTGUI::CPoint where;
        if (frame && frame->getCurrentMouseLocation(where))
            popUp(*menu, where);
        return true;
    }

    // The zoom steps, the one in force checked: as a submenu "Zoom", or as
    // items of their own ("Zoom 150 %").
    void addZoomItems(Steinberg::Vst::IContextMenu& menu, bool asSubmenu)
    {
        using Item = Steinberg::Vst::IContextMenuItem;
        if (asSubmenu)
            addMenuItem(menu, zoomLabel(), 0, Item::kIsGroupStart);
        const int current = int(std::lround(getZoom() * 100.0));
        for (const int percent : zoomSteps)
            addMenuItem(menu, asSubmenu ? zoomStepLabel(percent) : zoomLabel() + " " + zoomStepLabel(percent),
                        Steinberg::int32(3000 + percent), percent == current ? Steinberg::int32(Item::kIsChecked) : 0);
        if (asSubmenu)
            addMenuItem(menu, std::string(), 0, Item::kIsGroupEnd);
    }

    // The menu at a point of the frame, in the view's pixels.
    void popUp(Steinberg::Vst::IContextMenu& menu, const VSTGUI::CPoint& where)
    {
        const double scale = getContentScaleFactor();
        menu.popup(Steinberg::UCoord(std::lround(where.x * scale)), Steinberg::UCoord(std::lround(where.y * scale)));
    }

    void addMenuItem(Steinberg::Vst::IContextMenu& menu, const std::string& label, Steinberg::int32 tag,
                     Steinberg::int32 flags = 0)
    {
        Steinberg::Vst::IContextMenu::Item item{};
        Steinberg::UString(item.name, 128).fromAscii(label.substr(0, 127).c_str());
        item.tag = tag;
        item.flags = flags;
        menu.addItem(item, this);
    }

    std::string settings;
};

} // namespace vantle::vst
