// The editor in a Windows host, through the loaded module under Wine: the
// host's own top-level window and message pump, input as window messages,
// and what the screen shows compared with the offscreen render.
#include "editor_reference.h"
#include "integration/loaded_plugin.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "sdk/vst2/vst2_abi.h"
#include "support/scoped_config_folder.h"
#include "tools/host/platform/win32_host_window.h"
#include "tools/host/plug_frame.h"
#include "tools/host/vst2_effect_host.h"
#include "win32_object_counter.h"

#include <windows.h>

#include <algorithm>

namespace tarvel::test {
namespace {

using namespace std::chrono_literals;
using Edit = host::ComponentHandler::Edit;

constexpr int ratioX = 178, ratioY = 86;

// Each test loads the module itself, so that the last one can unload it.
class EditorInWindowsHost : public ::testing::Test {
protected:
    EditorInWindowsHost() : plugFrame(owned(new host::PlugFrame)) {}
    ~EditorInWindowsHost() override
    {
        if (view)
            view->removed();
    }
    bool open(std::chrono::milliseconds settle = 200ms)
    {
        view = owned(plugin.controller()->createView(Vst::ViewType::kEditor));
        if (!view)
            return false;
        view->setFrame(plugFrame);
        if (view->attached(window.parent(), kPlatformTypeHWND) != kResultTrue)
            return false;
        window.pump(settle);
        return true;
    }
    std::array<double, 5> values() const
    {
        std::array<double, 5> result{};
        for (std::uint32_t id = 0; id < 5; ++id)
            result[id] = plugin.controller()->getParamNormalized(id);
        return result;
    }
    std::vector<Edit::Kind> kinds(Vst::ParamID id) const
    {
        std::vector<Edit::Kind> result;
        for (const Edit& edit : plugin.handler().edits())
            if (edit.id == id)
                result.push_back(edit.kind);
        return result;
    }

    // The user's saved zoom (or anything else saved) stays out of the tests.
    ScopedConfigFolder config;
    host::PluginModule module{TARVEL_MODULE_PATH};
    PluginInstance plugin{module};
    IPtr<host::PlugFrame> plugFrame;
    host::Win32HostWindow window{600, 300};
    IPtr<IPlugView> view;
};

TEST_F(EditorInWindowsHost, ShowsWhatTheOffscreenRenderShowsAndTakesTheMouse)
{
    ASSERT_TRUE(open());
    ASSERT_NE(window.child(), nullptr);
    ASSERT_EQ(plugFrame->resizes().size(), 1u);
    EXPECT_EQ(plugFrame->resizes()[0].getWidth(), 500);
    const auto expected = referenceEditor(values(), -1000, false);
    int difference = 256;
    window.pump(3000ms, [&] { return (difference = largestDifference(window.capture(0, 0, 500, 256), expected)) <= 2; });
    EXPECT_LE(difference, 2);

    // A drag on Ratio from its top round to its right.
    window.press(ratioX, ratioY - 25, 1);
    window.moveTo(ratioX + 12, ratioY - 22, 1);
    window.moveTo(ratioX + 25, ratioY, 1);
    window.release(ratioX + 25, ratioY, 1);
    const std::vector<Edit::Kind> ratio = kinds(ratioId);
    ASSERT_GE(ratio.size(), 3u);
    EXPECT_EQ(ratio.front(), Edit::Kind::Begin);
    EXPECT_EQ(ratio.back(), Edit::Kind::End);
    EXPECT_NEAR(plugin.controller()->getParamNormalized(ratioId), 0.875, 0.01);

    // The wheel (screen coordinates) on Speed: one notch down switches it.
    window.wheel(178, 192, -1);
    EXPECT_EQ(plugin.controller()->getParamNormalized(speedId), 0.0);
    window.pump(700ms);
    EXPECT_EQ(kinds(speedId).back(), Edit::Kind::End);

    // The right button: the host's menu with reset and manual.
    window.press(ratioX, ratioY, 3);
    window.release(ratioX, ratioY, 3);
    ASSERT_NE(plugin.handler().lastMenu(), nullptr);
    ASSERT_EQ(plugin.handler().lastMenu()->entries().size(), 9u) << "reset, manual and the zoom's submenu";
    EXPECT_EQ(plugin.handler().lastMenu()->entries()[0].item.tag, 1002);
    EXPECT_EQ(plugin.handler().lastMenu()->entries()[1].item.tag, 2002);
}

// Keys typed with the editor focused: the knob keeps the arrows, the host
// gets everything else (its save and play shortcuts among them).
TEST_F(EditorInWindowsHost, TheHostKeepsItsShortcutsWhileTheKnobsKeepTheirKeys)
{
    ASSERT_TRUE(open());
    const double ratio = plugin.controller()->getParamNormalized(ratioId);
    window.press(ratioX, ratioY, 1);
    window.release(ratioX, ratioY, 1);
    ASSERT_EQ(GetFocus(), window.child());
    window.keysReceived();
    const auto received = [&](unsigned int message, unsigned long long key) {
        for (const auto& got : window.keysReceived())
            if (got.message == message && got.wParam == key)
                return true;
        return false;
    };

    window.key('S', true);
    EXPECT_TRUE(received(WM_KEYDOWN, 'S'));
    window.key(VK_SPACE);
    const auto space = window.keysReceived();
    const auto has = [&](unsigned int message, unsigned long long key) {
        return std::any_of(space.begin(), space.end(),
                           [&](const auto& got) { return got.message == message && got.wParam == key; });
    };
    EXPECT_TRUE(has(WM_KEYDOWN, VK_SPACE));
    EXPECT_TRUE(has(WM_CHAR, ' '));
    EXPECT_TRUE(has(WM_KEYUP, VK_SPACE));
    EXPECT_EQ(plugin.controller()->getParamNormalized(ratioId), ratio);

    window.key(VK_DOWN);
    EXPECT_NEAR(plugin.controller()->getParamNormalized(ratioId), ratio - 0.1, 1e-6);
    EXPECT_TRUE(window.keysReceived().empty());
    window.key(VK_DOWN, true);
    EXPECT_TRUE(received(WM_KEYDOWN, VK_DOWN));
    EXPECT_NEAR(plugin.controller()->getParamNormalized(ratioId), ratio - 0.1, 1e-6);
}

TEST_F(EditorInWindowsHost, AHostScaleMakesTheWindowThatMuchLarger)
{
    view = owned(plugin.controller()->createView(Vst::ViewType::kEditor));
    FUnknownPtr<IPlugViewContentScaleSupport> scaling(view);
    ASSERT_TRUE(scaling);
    EXPECT_EQ(scaling->setContentScaleFactor(1.5), kResultTrue);
    view->setFrame(plugFrame);
    ASSERT_EQ(view->attached(window.parent(), kPlatformTypeHWND), kResultTrue);
    window.pump(100ms);
    RECT client{};
    GetClientRect(window.child(), &client);
    EXPECT_EQ(client.right, 750);
    EXPECT_EQ(client.bottom, 384);
    // The mouse is mapped back: Ratio's top at one and a half times its place.
    window.press(int(1.5 * ratioX), int(1.5 * (ratioY - 25)), 1);
    window.moveTo(int(1.5 * (ratioX + 25)), int(1.5 * ratioY), 1);
    window.release(int(1.5 * (ratioX + 25)), int(1.5 * ratioY), 1);
    EXPECT_NEAR(plugin.controller()->getParamNormalized(ratioId), 0.875, 0.01);
}

TEST(EditorWindowLifetime, OpenAndCloseLeaveNoObjectsAndUnloadingRemovesTheWindowClass)
{
    host::Win32HostWindow window(600, 300);
    HMODULE loaded = nullptr;
    std::wstring name;
    {
        host::PluginModule module(TARVEL_MODULE_PATH);
        PluginInstance plugin(module);
        IPtr<host::PlugFrame> plugFrame = owned(new host::PlugFrame);
        const auto cycle = [&](std::chrono::milliseconds settle) {
            IPtr<IPlugView> view = owned(plugin.controller()->createView(Vst::ViewType::kEditor));
            view->setFrame(plugFrame);
            const bool attached = view->attached(window.parent(), kPlatformTypeHWND) == kResultTrue;
            window.pump(settle);
            view->removed();
            return attached;
        };
        ASSERT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                       static_cast<LPCWSTR>(module.symbol("GetPluginFactory")), &loaded));
        ASSERT_TRUE(cycle(200ms));
        window.pump(50ms);
        // Wine's GetGuiResources always answers 0: the module's own calls
        // that make and free GDI and USER objects are counted instead.
        countObjectsOf(loaded);
        for (int round = 0; round < 200; ++round)
            ASSERT_TRUE(cycle(round % 20 == 0 ? 30ms : 1ms)) << round;
        window.pump(50ms);
        const ObjectCounts counts = objectCounts();
        EXPECT_GE(counts.gdiMade, 400) << "a device context and a bitmap per window at least";
        EXPECT_GE(counts.userMade, 400) << "a window and a timer per open";
        EXPECT_EQ(counts.gdiLive, 0);
        EXPECT_EQ(counts.userLive, 0);
        EXPECT_EQ(GetWindow(static_cast<HWND>(window.parent()), GW_CHILD), nullptr);

        // The class is named after the module's instance handle.
        name = L"VSTGUIFrame" + std::to_wstring(reinterpret_cast<std::uintptr_t>(loaded));
        WNDCLASSEXW description{};
        description.cbSize = sizeof description;
        EXPECT_TRUE(GetClassInfoExW(loaded, name.c_str(), &description));
    }
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    EXPECT_FALSE(GetClassInfoExW(loaded, name.c_str(), &description)) << "still registered after the module unloaded";
}

TEST(Vst2EditorInWindowsHost, OpensOnTheHostsWindowAndReportsADragAsAutomation)
{
    ScopedConfigFolder config;
    host::Vst2EffectHost plugin(TARVEL_MODULE_PATH);
    host::Win32HostWindow window(600, 300);
    vst2::ERect* rect = nullptr;
    ASSERT_EQ(plugin.editor(vst2::effEditGetRect, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 500);
    EXPECT_EQ(rect->bottom - rect->top, 256);
    ASSERT_EQ(plugin.editor(vst2::effEditOpen, window.parent()), 1);
    window.pump(200ms);
    plugin.clearCalls();
    window.press(ratioX, ratioY - 25, 1);
    window.moveTo(ratioX + 25, ratioY, 1);
    window.release(ratioX + 25, ratioY, 1);
    const auto& calls = plugin.calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().opcode, vst2::audioMasterBeginEdit);
    EXPECT_EQ(calls[1].opcode, vst2::audioMasterAutomate);
    EXPECT_NEAR(calls[calls.size() - 2].opt, 0.875, 0.01);
    EXPECT_EQ(calls.back().opcode, vst2::audioMasterEndEdit);
    for (const auto& call : calls)
        EXPECT_EQ(call.index, 2);
    EXPECT_EQ(plugin.editor(vst2::effEditClose), 1);
}

} // namespace
} // namespace tarvel::test
