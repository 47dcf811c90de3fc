#include "sdk/clap/clap_component_handler.h"

#include <algorithm>

#include "sdk/vst2/vst2_text.h"

namespace Steinberg::Vst {

using namespace clap;

ClapContextMenu::ClapContextMenu(ClapMenuHost& menuHost, clap_context_menu_target_t target)
    : host(menuHost), menuTarget(target)
{
}

ClapContextMenu::~ClapContextMenu()
{
    for (Entry& entry : items)
        if (entry.target)
            entry.target->release();
}

void ClapContextMenu::populate(const clap_context_menu_builder_t& builder) const
{
    if (!builder.add_item)
        return;
    const auto hasFlags = [](const Entry& entry, int32 flags) { return (entry.item.flags & flags) == flags; };
    for (const Entry& entry : items) {
        // A group's start and end carry the disabled and separator bits too:
        // they are looked at first.
        if (hasFlags(entry, Item::kIsGroupStart)) {
            const clap_context_menu_submenu_t submenu{entry.label.c_str(), true};
            builder.add_item(&builder, CLAP_CONTEXT_MENU_ITEM_BEGIN_SUBMENU, &submenu);
            continue;
        }
        if (hasFlags(entry, Item::kIsGroupEnd)) {
            builder.add_item(&builder, CLAP_CONTEXT_MENU_ITEM_END_SUBMENU, nullptr);
            continue;
        }
        if (hasFlags(entry, Item::kIsSeparator)) {
            builder.add_item(&builder, CLAP_CONTEXT_MENU_ITEM_SEPARATOR, nullptr);
            continue;
        }
        const bool enabled = !hasFlags(entry, Item::kIsDisabled);
        const auto action = static_cast<clap_id>(entry.item.tag);
        if (hasFlags(entry, Item::kIsChecked)) {
            const clap_context_menu_check_entry_t shown{entry.label.c_str(), enabled, true, action};
            builder.add_item(&builder, CLAP_CONTEXT_MENU_ITEM_CHECK_ENTRY, &shown);
            continue;
        }
        const clap_context_menu_entry_t shown{entry.label.c_str(), enabled, action};
        builder.add_item(&builder, CLAP_CONTEXT_MENU_ITEM_ENTRY, &shown);
    }
}

bool ClapContextMenu::perform(clap_id action)
{
    for (Entry& entry : items) {
        if (static_cast<clap_id>(entry.item.tag) != action || (entry.item.flags & Item::kIsSeparator))
            continue;
        // The target may close the editor, and with it this menu.
        IPtr<ClapContextMenu> keep(this);
        IPtr<IContextMenuTarget> target(entry.target);
        return target && target->executeMenuItem(entry.item.tag) == kResultOk;
    }
    return false;
}

tresult PLUGIN_API ClapContextMenu::getItem(int32 index, Item& item, IContextMenuTarget** target)
{
    if (index < 0 || index >= getItemCount())
        return kInvalidArgument;
    const Entry& entry = items[static_cast<std::size_t>(index)];
    item = entry.item;
    if (target) {
        *target = entry.target;
        if (entry.target)
            entry.target->addRef();
    }
    return kResultOk;
}

tresult PLUGIN_API ClapContextMenu::addItem(const Item& item, IContextMenuTarget* target)
{
    try {
        items.push_back({item, target, utf8FromUtf16(item.name)});
        if (target)
            target->addRef();
        return kResultOk;
    } catch (...) {
        return kResultFalse;
    }
}

tresult PLUGIN_API ClapContextMenu::removeItem(const Item& item, IContextMenuTarget* target)
{
    const auto found = std::find_if(items.begin(), items.end(),
                                    [&](const Entry& e) { return e.item.tag == item.tag && e.target == target; });
    if (found == items.end())
        return kResultFalse;
    if (found->target)
        found->target->release();
    items.erase(found);
    return kResultOk;
}

tresult PLUGIN_API ClapContextMenu::popup(UCoord x, UCoord y)
{
    return host.popup(*this, x, y) ? kResultOk : kResultFalse;
}

ClapComponentHandler::ClapComponentHandler(Vst2EditListener& editListener, ClapMenuHost* menuHost)
    : listener(&editListener), menus(menuHost)
{
}

tresult PLUGIN_API ClapComponentHandler::beginEdit(ParamID id)
{
    if (!listener)
        return kResultFalse;
    listener->beginEdit(id);
    return kResultOk;
}

tresult PLUGIN_API ClapComponentHandler::performEdit(ParamID id, ParamValue valueNormalized)
{
    if (!listener)
        return kResultFalse;
    listener->performEdit(id, valueNormalized);
    return kResultOk;
}

tresult PLUGIN_API ClapComponentHandler::endEdit(ParamID id)
{
    if (!listener)
        return kResultFalse;
    listener->endEdit(id);
    return kResultOk;
}

tresult PLUGIN_API ClapComponentHandler::restartComponent(int32 flags)
{
    if (!listener)
        return kResultFalse;
    listener->restartComponent(flags);
    return kResultOk;
}

// No menu when the host has none to show: the editor then shows nothing.
IContextMenu* PLUGIN_API ClapComponentHandler::createContextMenu(IPlugView*, const ParamID* paramID)
{
    if (!menus || !menus->canPopup())
        return nullptr;
    try {
        const clap_context_menu_target_t target =
            paramID ? clap_context_menu_target_t{CLAP_CONTEXT_MENU_TARGET_KIND_PARAM, *paramID}
                    : clap_context_menu_target_t{CLAP_CONTEXT_MENU_TARGET_KIND_GLOBAL, 0};
        return new ClapContextMenu(*menus, target);
    } catch (...) {
        return nullptr;
    }
}

} // namespace Steinberg::Vst
