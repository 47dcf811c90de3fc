// The gui and posix-fd-support extensions: the editor's calls from the host,
// each on the main thread, every exception stopped here.

#include "sdk/clap/clap_adapter.h"

namespace Steinberg::Vst {

using namespace clap;

namespace {

template <typename Call>
bool guarded(Call&& call) noexcept
{
    try {
        return call();
    } catch (...) {
        return false;
    }
}

} // namespace

const clap_plugin_gui_t ClapAdapter::guiExtension = {
    [](const clap_plugin_t* plugin, const char* api, bool floating) {
        const ClapAdapter* self = from(plugin);
        return self && self->editor && self->editor->isApiSupported(api, floating);
    },
    [](const clap_plugin_t* plugin, const char** api, bool* floating) {
        const ClapAdapter* self = from(plugin);
        if (!self || !self->editor || !api || !floating)
            return false;
        *api = self->editor->preferredApi();
        *floating = false;
        return true;
    },
    [](const clap_plugin_t* plugin, const char* api, bool floating) {
        ClapAdapter* self = from(plugin);
        return self && self->editor && guarded([&] {
                   self->catchUpController();
                   return self->editor->createView(api, floating);
               });
    },
    [](const clap_plugin_t* plugin) {
        ClapAdapter* self = from(plugin);
        if (self && self->editor)
            guarded([&] {
                self->closeEditor();
                return true;
            });
    },
    [](const clap_plugin_t* plugin, double scale) {
        ClapAdapter* self = from(plugin);
        return self && self->editor && guarded([&] { return self->editor->setScale(scale); });
    },
    [](const clap_plugin_t* plugin, std::uint32_t* width, std::uint32_t* height) {
        const ClapAdapter* self = from(plugin);
        return self && self->editor && width && height &&
               guarded([&] { return self->editor->size(*width, *height); });
    },
    [](const clap_plugin_t*) { return false; },
    [](const clap_plugin_t*, clap_gui_resize_hints_t*) { return false; },
    [](const clap_plugin_t* plugin, std::uint32_t* width, std::uint32_t* height) {
        const ClapAdapter* self = from(plugin);
        return self && self->editor && width && height &&
               guarded([&] { return self->editor->adjustSize(*width, *height); });
    },
    [](const clap_plugin_t* plugin, std::uint32_t width, std::uint32_t height) {
        const ClapAdapter* self = from(plugin);
        return self && self->editor && guarded([&] { return self->editor->setSize(width, height); });
    },
    [](const clap_plugin_t* plugin, const clap_window_t* window) {
        ClapAdapter* self = from(plugin);
        return self && self->editor && window && guarded([&] { return self->editor->setParent(*window); });
    },
    // Embedded only: no window of our own to keep above the host's.
    [](const clap_plugin_t*, const clap_window_t*) { return false; },
    [](const clap_plugin_t*, const char*) {},
    // The host shows and hides its own window, and the embedded view with it.
    [](const clap_plugin_t* plugin) {
        const ClapAdapter* self = from(plugin);
        return self && self->editor && self->editor->hasView();
    },
    [](const clap_plugin_t* plugin) {
        const ClapAdapter* self = from(plugin);
        return self && self->editor && self->editor->hasView();
    },
};

void ClapAdapter::closeEditor()
{
    openMenu = nullptr;
    if (editor)
        editor->destroyView();
}

bool ClapAdapter::canPopup()
{
    return hostContextMenu && editor && editor->hasView() && hostContextMenu->can_popup(host);
}

// Coordinates are the editor window's, as the host expects for an
// embedded view.
bool ClapAdapter::popup(ClapContextMenu& menu, std::int32_t x, std::int32_t y)
{
    if (!canPopup())
        return false;
    openMenu = &menu;
    return hostContextMenu->popup(host, &menu.target(), 0, x, y);
}

ClapContextMenu* ClapAdapter::menuFor(const clap_context_menu_target_t* target) const
{
    if (!openMenu || !target || target->kind != openMenu->target().kind || target->id != openMenu->target().id)
        return nullptr;
    return openMenu.get();
}

// The host asks for the items of the menu it shows for the editor, and
// reports the one chosen.
const clap_plugin_context_menu_t ClapAdapter::contextMenuExtension = {
    [](const clap_plugin_t* plugin, const clap_context_menu_target_t* target,
       const clap_context_menu_builder_t* builder) {
        const ClapAdapter* self = from(plugin);
        if (!self || !builder)
            return false;
        return guarded([&] {
            if (ClapContextMenu* menu = self->menuFor(target))
                menu->populate(*builder);
            return true;
        });
    },
    [](const clap_plugin_t* plugin, const clap_context_menu_target_t* target, clap_id action) {
        ClapAdapter* self = from(plugin);
        return self && guarded([&] {
                   IPtr<ClapContextMenu> menu = self->menuFor(target);
                   return menu && menu->perform(action);
               });
    },
};

const clap_plugin_posix_fd_support_t ClapAdapter::posixFdExtension = {
    [](const clap_plugin_t* plugin, int fd, std::uint32_t flags) {
        ClapAdapter* self = from(plugin);
        if (self && self->editor)
            guarded([&] {
                self->editor->onFd(fd, flags);
                return true;
            });
    },
};

} // namespace Steinberg::Vst
