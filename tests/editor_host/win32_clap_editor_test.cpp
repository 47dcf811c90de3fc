// The editor through the module's CLAP entry in a Windows host under Wine:
// the gui extension embeds it in the host's window, whose message pump runs
// it, and the screen shows what the offscreen render shows.
#include "editor_reference.h"
#include "support/scoped_config_folder.h"
#include "sdk/clap/clap_abi.h"
#include "tools/host/clap_plugin_host.h"
#include "tools/host/platform/win32_host_window.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace tarvel::test {
namespace {

using namespace clap;
using namespace std::chrono_literals;

constexpr clap_id Ratio = 2;
constexpr int ratioX = 178, ratioY = 86;

TEST(ClapEditorInWindowsHost, EmbedsInAnHwndShowsTheOffscreenRenderAndSendsADrag)
{
    ScopedConfigFolder config;
    host::ClapPluginHost plugin(TARVEL_CLAP_PATH);
    const auto* gui = plugin.extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
    ASSERT_NE(gui, nullptr);
    EXPECT_TRUE(gui->is_api_supported(&plugin.plugin(), CLAP_WINDOW_API_WIN32, false));
    EXPECT_FALSE(gui->is_api_supported(&plugin.plugin(), CLAP_WINDOW_API_X11, false));
    host::Win32HostWindow window(600, 300);
    ASSERT_TRUE(gui->create(&plugin.plugin(), CLAP_WINDOW_API_WIN32, false));
    std::uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui->get_size(&plugin.plugin(), &width, &height));
    EXPECT_EQ(width, 500u);
    EXPECT_EQ(height, 256u);
    clap_window_t parent{};
    parent.api = CLAP_WINDOW_API_WIN32;
    parent.win32 = window.parent();
    ASSERT_TRUE(gui->set_parent(&plugin.plugin(), &parent));
    ASSERT_NE(window.child(), nullptr);

    std::array<double, 5> values{};
    for (clap_id id = 0; id < 5; ++id)
        values[id] = plugin.value(id);
    const auto expected = referenceEditor(values, -1000, false);
    int difference = 256;
    window.pump(3000ms, [&] { return (difference = largestDifference(window.capture(0, 0, 500, 256), expected)) <= 2; });
    EXPECT_LE(difference, 2);

    plugin.output().clear();
    window.press(ratioX, ratioY - 25, 1);
    window.moveTo(ratioX + 12, ratioY - 22, 1);
    window.moveTo(ratioX + 25, ratioY, 1);
    window.release(ratioX + 25, ratioY, 1);
    window.pump(200ms);
    plugin.flush();
    std::vector<host::ClapOutputEvent> events;
    for (const auto& event : plugin.output())
        if (event.id == Ratio)
            events.push_back(event);
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events.front().type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
    EXPECT_EQ(events.back().type, CLAP_EVENT_PARAM_GESTURE_END);
    EXPECT_NEAR(events[events.size() - 2].value, 0.875, 0.01);
    gui->destroy(&plugin.plugin());
    window.pump(50ms);
    EXPECT_EQ(window.child(), nullptr);
}

} // namespace
} // namespace tarvel::test
