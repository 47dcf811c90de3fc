// The editor through the module's CLAP entry in a Linux host: the gui
// extension embeds it in the host's X11 window, and the host's timer-support
// and posix-fd-support are its run loop.
#include "editor_reference.h"
#include "support/scoped_config_folder.h"
#include "sdk/clap/clap_abi.h"
#include "tools/host/clap_plugin_host.h"
#include "tools/host/platform/x11_host_window.h"
#include "tools/host/platform/x11_server.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tarvel::test {
namespace {

using namespace clap;
using namespace std::chrono_literals;

using host::ClapOutputEvent;

constexpr clap_id Ratio = 2;
constexpr int ratioX = 178, ratioY = 86;

class ClapEditorInHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(host::ensureXServer()) << "no X server and no Xvfb"; }

    const clap_plugin_t* plugin() const { return &host.plugin(); }
    bool open()
    {
        clap_window_t parent{};
        parent.api = CLAP_WINDOW_API_X11;
        parent.x11 = window.window();
        return gui && gui->create(plugin(), CLAP_WINDOW_API_X11, false) && gui->set_scale(plugin(), 1.0) &&
               gui->set_parent(plugin(), &parent) && gui->show(plugin());
    }
    std::array<double, 5> values() const
    {
        std::array<double, 5> result{};
        for (clap_id id = 0; id < 5; ++id)
            result[id] = host.value(id);
        return result;
    }
    // Drags Ratio from the top of its round to its right, as a user does.
    void dragRatio()
    {
        window.moveTo(ratioX, ratioY - 25);
        window.press(1);
        host.run(300ms);
        window.moveTo(ratioX + 25, ratioY);
        host.run(300ms);
        window.release(1);
        host.run(300ms);
    }
    // The gestures and values for Ratio among what the plug-in sent.
    std::vector<ClapOutputEvent> ratioEvents()
    {
        std::vector<ClapOutputEvent> events;
        for (const auto& event : host.output())
            if (event.id == Ratio)
                events.push_back(event);
        return events;
    }
    static void expectOneGesture(const std::vector<ClapOutputEvent>& events)
    {
        ASSERT_GE(events.size(), 3u);
        EXPECT_EQ(events.front().type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
        EXPECT_EQ(events.back().type, CLAP_EVENT_PARAM_GESTURE_END);
        for (std::size_t i = 1; i + 1 < events.size(); ++i)
            EXPECT_EQ(events[i].type, CLAP_EVENT_PARAM_VALUE) << i;
        EXPECT_NEAR(events[events.size() - 2].value, 0.875, 0.01);
    }

    // The user's saved zoom stays out of the tests.
    ScopedConfigFolder config;
    host::ClapPluginHost host{TARVEL_CLAP_PATH};
    const clap_plugin_gui_t* gui = host.extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
    host::X11HostWindow window{600, 300};
};

TEST_F(ClapEditorInHost, EmbedsInTheHostsWindowAndShowsWhatTheOffscreenRenderShows)
{
    ASSERT_NE(gui, nullptr);
    const int errors = host::X11HostWindow::errorCount();
    EXPECT_TRUE(gui->is_api_supported(plugin(), CLAP_WINDOW_API_X11, false));
    EXPECT_FALSE(gui->is_api_supported(plugin(), CLAP_WINDOW_API_X11, true)) << "embedded only";
    EXPECT_FALSE(gui->is_api_supported(plugin(), CLAP_WINDOW_API_WIN32, false));
    const char* api = nullptr;
    bool floating = true;
    ASSERT_TRUE(gui->get_preferred_api(plugin(), &api, &floating));
    EXPECT_STREQ(api, CLAP_WINDOW_API_X11);
    EXPECT_FALSE(floating);
    EXPECT_FALSE(gui->create(plugin(), CLAP_WINDOW_API_WAYLAND, false));

    ASSERT_TRUE(gui->create(plugin(), CLAP_WINDOW_API_X11, false));
    EXPECT_FALSE(gui->create(plugin(), CLAP_WINDOW_API_X11, false)) << "one view at a time";
    ASSERT_TRUE(gui->set_scale(plugin(), 1.0));
    std::uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui->get_size(plugin(), &width, &height));
    EXPECT_EQ(width, 500u);
    EXPECT_EQ(height, 256u);
    EXPECT_FALSE(gui->can_resize(plugin()));
    EXPECT_FALSE(gui->set_size(plugin(), 600, 300));
    EXPECT_TRUE(gui->set_size(plugin(), 500, 256));
    std::uint32_t askedWidth = 800, askedHeight = 100;
    ASSERT_TRUE(gui->adjust_size(plugin(), &askedWidth, &askedHeight));
    EXPECT_EQ(askedWidth, 500u);
    EXPECT_EQ(askedHeight, 256u);
    clap_window_t wrong{};
    wrong.api = CLAP_WINDOW_API_WIN32;
    wrong.win32 = nullptr;
    EXPECT_FALSE(gui->set_parent(plugin(), &wrong));
    EXPECT_FALSE(gui->set_transient(plugin(), &wrong));

    clap_window_t parent{};
    parent.api = CLAP_WINDOW_API_X11;
    parent.x11 = window.window();
    ASSERT_TRUE(gui->set_parent(plugin(), &parent));
    EXPECT_TRUE(gui->show(plugin()));
    EXPECT_EQ(window.children().size(), 1u);
    // The frame's X connection and its timer, through the host.
    EXPECT_GE(host.fdCount(), 1u);
    EXPECT_GE(host.timerCount(), 2u);

    int difference = 256;
    const auto expected = referenceEditor(values(), -1000, false);
    host.run(5000ms, [&] { return (difference = largestDifference(window.capture(0, 0, 500, 256), expected)) <= 2; });
    EXPECT_LE(difference, 2);
    gui->destroy(plugin());
    window.sync();
    EXPECT_TRUE(window.children().empty());
    EXPECT_EQ(host::X11HostWindow::errorCount(), errors);
}

TEST_F(ClapEditorInHost, ADragGoesOutAsAGestureInTheNextFlushOrProcess)
{
    ASSERT_TRUE(open());
    host.run(200ms);

    // Inactive: the plug-in asks for a flush, and the edits come out of it.
    host.output().clear();
    const int flushes = host.flushRequests.load();
    dragRatio();
    EXPECT_GT(host.flushRequests.load(), flushes);
    EXPECT_TRUE(ratioEvents().empty()) << "nothing before the host flushes";
    host.flush();
    expectOneGesture(ratioEvents());
    EXPECT_NEAR(host.value(Ratio), 0.875, 0.01);
    EXPECT_GT(host.dirtyMarks.load(), 0);

    // Processing: no flush request, the edits come out of the next block.
    ASSERT_TRUE(host.activate(48000.0, 1, 256));
    window.moveTo(ratioX, ratioY + 25);
    window.click(1);
    host.run(200ms);
    host.output().clear();
    const int flushesWhileProcessing = host.flushRequests.load();
    dragRatio();
    EXPECT_EQ(host.flushRequests.load(), flushesWhileProcessing);
    std::vector<float> left(256, 0.1f), right(256, 0.1f);
    float* channels[2] = {left.data(), right.data()};
    ASSERT_EQ(host.process(channels, channels, 2, 256), CLAP_PROCESS_CONTINUE);
    const auto events = ratioEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().type, CLAP_EVENT_PARAM_GESTURE_END);
    gui->destroy(plugin());
}

TEST_F(ClapEditorInHost, SetScaleIsTheContentScale)
{
    ASSERT_NE(gui, nullptr);
    host::X11HostWindow large(1100, 600);
    ASSERT_TRUE(gui->create(plugin(), CLAP_WINDOW_API_X11, false));
    EXPECT_FALSE(gui->set_scale(plugin(), 0.0));
    ASSERT_TRUE(gui->set_scale(plugin(), 2.0));
    std::uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui->get_size(plugin(), &width, &height));
    EXPECT_EQ(width, 1000u);
    EXPECT_EQ(height, 512u);
    EXPECT_FALSE(gui->set_size(plugin(), 500, 256));
    clap_window_t parent{};
    parent.api = CLAP_WINDOW_API_X11;
    parent.x11 = large.window();
    ASSERT_TRUE(gui->set_parent(plugin(), &parent));
    int difference = 256;
    const auto expected = referenceEditor(values(), -1000, false, 2.0);
    host.run(5000ms, [&] { return (difference = largestDifference(large.capture(0, 0, 1000, 512), expected)) <= 2; });
    EXPECT_LE(difference, 2);
    gui->destroy(plugin());
}

TEST_F(ClapEditorInHost, RightClickShowsResetAndManualInTheHostsMenu)
{
    ASSERT_TRUE(open());
    host.flush({{0, Ratio, 0.9}});
    host.run(200ms);
    window.moveTo(ratioX, ratioY);
    window.click(3);
    host.run(5000ms, [&] { return !host.menuPopups.empty(); });
    ASSERT_EQ(host.menuPopups.size(), 1u);
    const auto popup = host.menuPopups[0];
    EXPECT_EQ(popup.target.kind, CLAP_CONTEXT_MENU_TARGET_KIND_PARAM);
    EXPECT_EQ(popup.target.id, Ratio);
    EXPECT_EQ(popup.x, ratioX);
    EXPECT_EQ(popup.y, ratioY);
    const auto entries = host.menuEntries(popup.target);
    ASSERT_EQ(entries.size(), 9u) << "reset, manual and the zoom's submenu";
    EXPECT_EQ(entries[0].label, "Reset to Default");
    EXPECT_EQ(entries[1].label, "Open Manual");
    EXPECT_TRUE(entries[0].enabled);
    EXPECT_EQ(entries[2].kind, CLAP_CONTEXT_MENU_ITEM_BEGIN_SUBMENU);
    EXPECT_EQ(entries[2].label, "Zoom");
    EXPECT_EQ(entries[3].kind, CLAP_CONTEXT_MENU_ITEM_CHECK_ENTRY) << "100 %, the zoom in force";
    EXPECT_TRUE(entries[3].checked);
    EXPECT_EQ(entries[5].label, "150 %");
    EXPECT_EQ(entries[8].kind, CLAP_CONTEXT_MENU_ITEM_END_SUBMENU);
    // Another parameter's menu is not this one.
    EXPECT_TRUE(host.menuEntries({CLAP_CONTEXT_MENU_TARGET_KIND_PARAM, 4}).empty());

    const auto* menu = host.extension<clap_plugin_context_menu_t>(CLAP_EXT_CONTEXT_MENU);
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->perform(plugin(), &popup.target, 4242));
    host.output().clear();
    ASSERT_TRUE(menu->perform(plugin(), &popup.target, entries[0].action));
    EXPECT_DOUBLE_EQ(host.value(Ratio), 0.5);
    host.flush();
    const auto events = ratioEvents();
    ASSERT_EQ(events.size(), 3u) << "the reset as one gesture";
    EXPECT_EQ(events[1].value, 0.5);
    gui->destroy(plugin());
    EXPECT_FALSE(menu->perform(plugin(), &popup.target, entries[0].action)) << "the menu ends with the editor";
}

// The zoom chosen on the editor's background goes to the host as a resize
// request, and the editor draws at that size.
TEST_F(ClapEditorInHost, ZoomFromTheBackgroundMenuAsksTheHostForTheSize)
{
    ASSERT_TRUE(open());
    host.run(200ms);
    window.moveTo(250, 128);
    window.click(3);
    host.run(5000ms, [&] { return !host.menuPopups.empty(); });
    ASSERT_EQ(host.menuPopups.size(), 1u);
    const auto popup = host.menuPopups[0];
    EXPECT_EQ(popup.target.kind, CLAP_CONTEXT_MENU_TARGET_KIND_GLOBAL);
    const auto entries = host.menuEntries(popup.target);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[2].label, "Zoom 150 %");
    const auto* menu = host.extension<clap_plugin_context_menu_t>(CLAP_EXT_CONTEXT_MENU);
    ASSERT_NE(menu, nullptr);
    host.resizeRequests.clear();
    ASSERT_TRUE(menu->perform(plugin(), &popup.target, entries[2].action));
    ASSERT_FALSE(host.resizeRequests.empty());
    EXPECT_EQ(host.resizeRequests.back(), (std::pair<std::uint32_t, std::uint32_t>{750, 384}));
    std::uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui->get_size(plugin(), &width, &height));
    EXPECT_EQ(width, 750u);
    EXPECT_EQ(height, 384u);
    window.resize(750, 384);
    int difference = 256;
    const auto expected = referenceEditor(values(), -1000, false, 1.5);
    host.run(5000ms, [&] { return (difference = largestDifference(window.capture(0, 0, 750, 384), expected)) <= 2; });
    EXPECT_LE(difference, 2);
    gui->destroy(plugin());
}

TEST(ClapEditorWithoutHostMenus, RightClickDoesNothing)
{
    ASSERT_TRUE(host::ensureXServer());
    host::ClapPluginHost host(TARVEL_CLAP_PATH, false);
    host::X11HostWindow window(600, 300);
    const auto* gui = host.extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
    ASSERT_NE(gui, nullptr);
    clap_window_t parent{};
    parent.api = CLAP_WINDOW_API_X11;
    parent.x11 = window.window();
    ASSERT_TRUE(gui->create(&host.plugin(), CLAP_WINDOW_API_X11, false));
    ASSERT_TRUE(gui->set_parent(&host.plugin(), &parent));
    host.run(200ms);
    host.flush({{0, Ratio, 0.9}});
    window.moveTo(ratioX, ratioY);
    window.click(3);
    host.run(500ms);
    host.output().clear();
    host.flush();
    EXPECT_TRUE(host.output().empty()) << "no edit from a right click";
    EXPECT_DOUBLE_EQ(host.value(Ratio), 0.9);
    EXPECT_TRUE(host.menuPopups.empty());
    gui->destroy(&host.plugin());
}

TEST_F(ClapEditorInHost, CreatedAndDestroyedTwoHundredTimesLeavesNothingBehind)
{
    ASSERT_NE(gui, nullptr);
    const int errors = host::X11HostWindow::errorCount();
    const std::size_t timers = host.timerCount();
    for (int cycle = 0; cycle < 200; ++cycle) {
        ASSERT_TRUE(open()) << cycle;
        host.run(cycle % 20 == 0 ? 60ms : 1ms);
        gui->destroy(plugin());
    }
    gui->destroy(plugin());
    window.sync();
    EXPECT_TRUE(window.children().empty());
    EXPECT_EQ(host.fdCount(), 0u);
    EXPECT_EQ(host.timerCount(), timers);
    EXPECT_EQ(host::X11HostWindow::errorCount(), errors);
}

} // namespace
} // namespace tarvel::test
