#pragma once
// The component handler the CLAP adapter gives the controller: edits and
// restart requests go to the adapter (as the VST 2 adapter's handler does),
// and, where the host offers its context-menu extension, the editor's
// context menus become the host's (IComponentHandler3).

#include <string>
#include <vector>

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "sdk/clap/clap_abi.h"
#include "sdk/vst2/vst2_component_handler.h"

namespace Steinberg::Vst {

class ClapContextMenu;

// What the handler asks of the adapter for a menu.
class ClapMenuHost {
public:
    // Whether the host can show a menu now.
    virtual bool canPopup() = 0;
    // Shows the menu for its parameter at (x, y) in the editor's window.
    virtual bool popup(ClapContextMenu& menu, std::int32_t x, std::int32_t y) = 0;

protected:
    ~ClapMenuHost() = default;
};

// A menu the editor fills: its items are offered to the host's menu
// (populate) and run when the host reports one chosen (perform).
class ClapContextMenu final : public FObject, public IContextMenu {
public:
    ClapContextMenu(ClapMenuHost& host, clap::clap_context_menu_target_t target);
    ~ClapContextMenu() override;

    const clap::clap_context_menu_target_t& target() const { return menuTarget; }
    // The entries as the host's menu shows them.
    void populate(const clap::clap_context_menu_builder_t& builder) const;
    // The editor's action for the entry chosen; false for an unknown id.
    bool perform(clap::clap_id action);

    int32 PLUGIN_API getItemCount() override { return static_cast<int32>(items.size()); }
    tresult PLUGIN_API getItem(int32 index, Item& item, IContextMenuTarget** target) override;
    tresult PLUGIN_API addItem(const Item& item, IContextMenuTarget* target) override;
    tresult PLUGIN_API removeItem(const Item& item, IContextMenuTarget* target) override;
    tresult PLUGIN_API popup(UCoord x, UCoord y) override;

    OBJ_METHODS(ClapContextMenu, FObject)
    DEFINE_INTERFACES
        DEF_INTERFACE(IContextMenu)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    struct Entry {
        Item item;
        IContextMenuTarget* target;  // one reference held
        std::string label;
    };
    ClapMenuHost& host;
    clap::clap_context_menu_target_t menuTarget;
    std::vector<Entry> items;
};

class ClapComponentHandler final : public FObject, public IComponentHandler, public IComponentHandler3 {
public:
    // menus may be null: the host offers no context menus.
    ClapComponentHandler(Vst2EditListener& listener, ClapMenuHost* menus);

    // After this the handler answers kResultFalse: the controller may keep
    // it beyond the adapter's lifetime.
    void detach()
    {
        listener = nullptr;
        menus = nullptr;
    }

    tresult PLUGIN_API beginEdit(ParamID id) override;
    tresult PLUGIN_API performEdit(ParamID id, ParamValue valueNormalized) override;
    tresult PLUGIN_API endEdit(ParamID id) override;
    tresult PLUGIN_API restartComponent(int32 flags) override;
    IContextMenu* PLUGIN_API createContextMenu(IPlugView* plugView, const ParamID* paramID) override;

    OBJ_METHODS(ClapComponentHandler, FObject)
    DEFINE_INTERFACES
        DEF_INTERFACE(IComponentHandler)
        DEF_INTERFACE(IComponentHandler3)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

private:
    Vst2EditListener* listener;
    ClapMenuHost* menus;
};

} // namespace Steinberg::Vst
