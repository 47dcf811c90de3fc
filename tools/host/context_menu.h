#pragma once
// The host's context menu: records the items a plug-in adds and where it
// asks the menu to pop up, and lets the caller choose an item as a user
// would.

#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "tools/host/host_object.h"

#include <string>
#include <vector>

namespace tarvel::host {

class ContextMenu final : public HostObject<Steinberg::Vst::IContextMenu> {
public:
    struct Entry {
        Steinberg::Vst::IContextMenuItem item;
        Steinberg::Vst::IContextMenuTarget* target; // one reference held
    };
    ~ContextMenu() override;

    const std::vector<Entry>& entries() const { return items; }
    std::string label(std::size_t index) const;
    bool poppedUp() const { return popups > 0; }
    Steinberg::UCoord popupX = -1;
    Steinberg::UCoord popupY = -1;
    // Runs the item with the tag as a click on it would; kResultFalse when
    // there is none.
    Steinberg::tresult choose(Steinberg::int32 tag);

    Steinberg::int32 PLUGIN_API getItemCount() override;
    Steinberg::tresult PLUGIN_API getItem(Steinberg::int32 index, Item& item,
                                          Steinberg::Vst::IContextMenuTarget** target) override;
    Steinberg::tresult PLUGIN_API addItem(const Item& item, Steinberg::Vst::IContextMenuTarget* target) override;
    Steinberg::tresult PLUGIN_API removeItem(const Item& item, Steinberg::Vst::IContextMenuTarget* target) override;
    // Records the position and returns at once, as a host does before
    // the user has chosen.
    Steinberg::tresult PLUGIN_API popup(Steinberg::UCoord x, Steinberg::UCoord y) override;

private:
    std::vector<Entry> items;
    int popups = 0;
};

} // namespace tarvel::host
