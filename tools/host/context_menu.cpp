#include "tools/host/context_menu.h"

namespace tarvel::host {

using namespace Steinberg;

ContextMenu::~ContextMenu()
{
    for (Entry& entry : items)
        if (entry.target)
            entry.target->release();
}

std::string ContextMenu::label(std::size_t index) const
{
    std::string text;
    for (const char16 c : items.at(index).item.name) {
        if (c == 0)
            break;
        text += c < 128 ? char(c) : '?';
    }
    return text;
}

tresult ContextMenu::choose(int32 tag)
{
    for (Entry& entry : items)
        if (entry.item.tag == tag && entry.target)
            return entry.target->executeMenuItem(tag);
    return kResultFalse;
}

int32 PLUGIN_API ContextMenu::getItemCount() { return int32(items.size()); }

tresult PLUGIN_API ContextMenu::getItem(int32 index, Item& item, Vst::IContextMenuTarget** target)
{
    if (index < 0 || index >= getItemCount())
        return kInvalidArgument;
    item = items[std::size_t(index)].item;
    if (target) {
        *target = items[std::size_t(index)].target;
        if (*target)
            (*target)->addRef();
    }
    return kResultOk;
}

tresult PLUGIN_API ContextMenu::addItem(const Item& item, Vst::IContextMenuTarget* target)
{
    if (target)
        target->addRef();
    items.push_back({item, target});
    return kResultOk;
}

tresult PLUGIN_API ContextMenu::removeItem(const Item& item, Vst::IContextMenuTarget*)
{
    for (auto it = items.begin(); it != items.end(); ++it)
        if (it->item.tag == item.tag) {
            if (it->target)
                it->target->release();
            items.erase(it);
            return kResultOk;
        }
    return kResultFalse;
}

tresult PLUGIN_API ContextMenu::popup(UCoord x, UCoord y)
{
    popupX = x;
    popupY = y;
    ++popups;
    return kResultOk;
}

} // namespace tarvel::host
