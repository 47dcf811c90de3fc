// The editor's zoom through the loaded module in an X11 host window:
// chosen from the right-click menu, the host's window resized through the
// host and the drawing at the new size; remembered for new editors; kept
// whole by a host that refuses; the display's scale taken from Xft.dpi
// when the host says nothing.
#include "x11_editor_fixture.h"

#include "framework/editor_settings.h"

#include <filesystem>

namespace tarvel::test {
namespace {

// A point of the editor that no control covers.
constexpr int backgroundX = 250, backgroundY = 128;

class ZoomInTheEditor : public EditorInHost {
protected:
    ZoomInTheEditor()
    {
        plugFrame->onResize = [this](const ViewRect& size) { window.resize(size.getWidth(), size.getHeight()); };
    }
    // The menu a right click at (x, y) brings up.
    host::ContextMenu* menuAt(int x, int y)
    {
        const int before = plugin.handler().menusMade;
        window.moveTo(x, y);
        window.click(3);
        settleUntil([&] { return plugin.handler().menusMade > before; });
        return plugin.handler().menusMade > before ? plugin.handler().lastMenu() : nullptr;
    }
    // The tags of the checked entries.
    static std::vector<int32> checked(const host::ContextMenu& menu)
    {
        std::vector<int32> tags;
        for (const auto& entry : menu.entries())
            if (entry.item.flags & Vst::IContextMenuItem::kIsChecked)
                tags.push_back(entry.item.tag);
        return tags;
    }
    bool lastResizeIs(int32 width, int32 height) const
    {
        return !plugFrame->resizes().empty() && plugFrame->resizes().back().getWidth() == width &&
               plugFrame->resizes().back().getHeight() == height;
    }
};

TEST_F(ZoomInTheEditor, ChosenFromTheMenuTheHostWindowFollowsAndNewEditorsOpenAtIt)
{
    ASSERT_NE(open(), nullptr);
    host::ContextMenu* menu = menuAt(backgroundX, backgroundY);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(plugin.handler().lastMenuParameter, -1) << "the editor's menu, not a parameter's";
    ASSERT_EQ(menu->entries().size(), 5u);
    EXPECT_EQ(menu->label(2), "Zoom 150 %");
    EXPECT_EQ(checked(*menu), std::vector<int32>{3100});

    ASSERT_EQ(menu->choose(3150), kResultOk);
    EXPECT_TRUE(lastResizeIs(750, 384));
    EXPECT_LE(differenceOnScreen(referenceEditor(values(), -1000, false, 1.5), nullptr, 1.5), 2);
    // The knobs take the pointer where they are drawn now.
    menu = menuAt(int(ratioX * 1.5), int(ratioY * 1.5));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(plugin.handler().lastMenuParameter, ratioId);
    EXPECT_EQ(checked(*menu), std::vector<int32>{3150}) << "the knob's menu has the zoom as a submenu";

    // Another instance's editor, as in a new project.
    PluginInstance other(loadedModule());
    IPtr<IPlugView> view = owned(other.controller()->createView(Vst::ViewType::kEditor));
    ViewRect size;
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.getWidth(), 750);
    EXPECT_EQ(size.getHeight(), 384);
    EXPECT_EQ(vantle::vst::savedZoom("Tarvel"), 1.5);
}

TEST_F(ZoomInTheEditor, AHostThatRefusesTheSizeKeepsTheEditorWholeAtItsSize)
{
    ASSERT_NE(open(), nullptr);
    plugFrame->refusesResizes = true;
    host::ContextMenu* menu = menuAt(backgroundX, backgroundY);
    ASSERT_NE(menu, nullptr);
    EXPECT_NE(menu->choose(3200), kResultOk);
    EXPECT_TRUE(lastResizeIs(1000, 512)) << "asked for";
    EXPECT_LE(differenceOnScreen(referenceEditor(values(), -1000, false)), 2);
    ViewRect size;
    ASSERT_EQ(views.back()->getSize(&size), kResultOk);
    EXPECT_EQ(size.getWidth(), 500);
    EXPECT_FALSE(std::filesystem::exists(config.path() / "Tarvel" / "settings.json")) << "not remembered";
}

TEST_F(ZoomInTheEditor, AnXftDpiOf192WithASilentHostOpensAtTwiceTheSize)
{
    struct Resources {
        host::X11HostWindow& window;
        ~Resources() { window.setServerResources(""); }
    } resources{window};
    window.setServerResources("Xft.antialias:\t1\nXft.dpi:\t192\n");
    ASSERT_NE(open(), nullptr);
    EXPECT_TRUE(lastResizeIs(1000, 512));
    EXPECT_LE(differenceOnScreen(referenceEditor(values(), -1000, false, 2.0), nullptr, 2.0), 2);
}

} // namespace
} // namespace tarvel::test
