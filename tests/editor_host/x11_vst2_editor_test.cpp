// The editor through the module's VST 2.4 entry in a Linux host: the host
// passes its X11 window to effEditOpen and calls effEditIdle, having no
// run loop to offer.
#include "toolkit/vstkeycode.h"
#include "framework/editor_settings.h"
#include "sdk/vst2/vst2_abi.h"
#include "support/scoped_config_folder.h"
#include "tools/host/platform/x11_host_window.h"
#include "tools/host/platform/x11_server.h"
#include "tools/host/vst2_effect_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

using namespace tarvel;
using namespace vst2;
using namespace std::chrono_literals;

TEST(Vst2EditorInHost, OpensOnTheHostsWindowAndReportsADragAsAutomation)
{
    ASSERT_TRUE(host::ensureXServer());
    tarvel::test::ScopedConfigFolder config;
    host::Vst2EffectHost plugin(TARVEL_MODULE_PATH);
    host::X11HostWindow window(600, 300);
    ASSERT_NE(plugin.effect().flags & effFlagsHasEditor, 0);
    ERect* rect = nullptr;
    ASSERT_EQ(plugin.editor(effEditGetRect, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 500);
    EXPECT_EQ(rect->bottom - rect->top, 256);
    ASSERT_EQ(plugin.editor(effEditOpen, window.parent()), 1);
    EXPECT_EQ(window.children().size(), 1u);

    // The host's idle calls are the editor's only chance to run.
    const auto idleUntil = [&](const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + 5s;
        while (!done() && std::chrono::steady_clock::now() < end) {
            plugin.editor(effEditIdle);
            std::this_thread::sleep_for(5ms);
        }
        return done();
    };
    const auto lastCall = [&] { return plugin.calls().empty() ? -1 : plugin.calls().back().opcode; };
    // The first paint, and the host's window sized to the editor.
    idleUntil([&] { return !window.capture(250, 128, 1, 1).empty() && window.capture(250, 128, 1, 1)[0] != 0xFF000000u; });
    plugin.clearCalls();

    // Ratio (index 2) from its top round to its right.
    window.moveTo(178, 86 - 25);
    window.press(1);
    idleUntil([&] { return lastCall() == audioMasterBeginEdit; });
    window.moveTo(178 + 25, 86);
    idleUntil([&] { return lastCall() == audioMasterAutomate; });
    window.release(1);
    ASSERT_TRUE(idleUntil([&] { return lastCall() == audioMasterEndEdit; }));
    const auto& calls = plugin.calls();
    EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
    for (const auto& call : calls)
        EXPECT_EQ(call.index, 2);
    EXPECT_NEAR(calls[calls.size() - 2].opt, 0.875, 0.01);
    EXPECT_NEAR(plugin.parameter(2), 0.875, 0.01);

    // Hosts that hand keys to the editor: the clicked knob takes the arrows,
    // everything else is given back (0) for the host's own shortcuts.
    const double dragged = plugin.parameter(2);
    EXPECT_EQ(plugin.editorKey(effEditKeyDown, ' ', VSTGUI::VKEY_SPACE), 0);
    EXPECT_EQ(plugin.editorKey(effEditKeyUp, ' ', VSTGUI::VKEY_SPACE), 0);
    EXPECT_EQ(plugin.editorKey(effEditKeyDown, 's', 0, VSTGUI::MODIFIER_CONTROL), 0);
    EXPECT_EQ(plugin.editorKey(effEditKeyDown, 0, VSTGUI::VKEY_DOWN, VSTGUI::MODIFIER_CONTROL), 0);
    EXPECT_EQ(plugin.parameter(2), dragged);
    EXPECT_EQ(plugin.editorKey(effEditKeyDown, 0, VSTGUI::VKEY_DOWN), 1);
    EXPECT_EQ(plugin.editorKey(effEditKeyUp, 0, VSTGUI::VKEY_DOWN), 1);
    EXPECT_NEAR(plugin.parameter(2), dragged - 0.1, 1e-6);

    EXPECT_EQ(plugin.editor(effEditClose), 1);
    window.sync();
    EXPECT_TRUE(window.children().empty());
    // Open again after closing, as hosts do when the window is shown anew.
    ASSERT_EQ(plugin.editor(effEditOpen, window.parent()), 1);
    EXPECT_EQ(plugin.editor(effEditClose), 1);
}

// The zoom the user chose in any editor of the plug-in: a VST 2 host is
// told the larger size before it makes its window.
TEST(Vst2EditorInHost, OpensAtTheUsersZoom)
{
    ASSERT_TRUE(host::ensureXServer());
    tarvel::test::ScopedConfigFolder config;
    ASSERT_TRUE(vantle::vst::saveZoom("Tarvel", 1.5));
    host::Vst2EffectHost plugin(TARVEL_MODULE_PATH);
    host::X11HostWindow window(800, 400);
    ERect* rect = nullptr;
    ASSERT_EQ(plugin.editor(effEditGetRect, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 750);
    EXPECT_EQ(rect->bottom - rect->top, 384);
    plugin.clearCalls();
    ASSERT_EQ(plugin.editor(effEditOpen, window.parent()), 1);
    ASSERT_FALSE(plugin.calls().empty());
    EXPECT_EQ(plugin.calls().back().opcode, audioMasterSizeWindow);
    EXPECT_EQ(plugin.calls().back().index, 750);
    EXPECT_EQ(plugin.calls().back().value, 384);
    EXPECT_EQ(plugin.editor(effEditClose), 1);
}

} // namespace
