#pragma once
// An X11 host window with the host's run loop and plug-in frame, the
// loaded module's controller, and the editor views opened in it; input is
// sent through XTest and the screen read back.
#include "editor_reference.h"
#include "integration/loaded_plugin.h"
#include "support/scoped_config_folder.h"
#include "tools/host/platform/linux_run_loop.h"
#include "tools/host/platform/x11_host_window.h"
#include "tools/host/platform/x11_server.h"
#include "tools/host/plug_frame.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <vector>

namespace tarvel::test {

using namespace std::chrono_literals;
using Edit = host::ComponentHandler::Edit;

// Where the layout puts things.
constexpr int ratioX = 178, ratioY = 86;
constexpr int speedX = 178, speedY = 192;
// A point in the graph under the curve, at input level -40: filled once
// the input has reached -20, empty before any reading.
constexpr int fillX = 292 + 60, fillY = 38 + 170;

class EditorInHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(host::ensureXServer()) << "no X server and no Xvfb"; }

    EditorInHost() : loop(owned(new host::RunLoop)), plugFrame(owned(new host::PlugFrame(loop.get()))) {}
    ~EditorInHost() override
    {
        for (auto& view : views)
            view->removed();
    }

    // A new editor view attached to window (the fixture's own by default).
    IPlugView* open(host::X11HostWindow* parent = nullptr)
    {
        IPtr<IPlugView> view = owned(plugin.controller()->createView(Vst::ViewType::kEditor));
        EXPECT_TRUE(view);
        if (!view)
            return nullptr;
        view->setFrame(plugFrame);
        const tresult attached = view->attached((parent ? parent : &window)->parent(), kPlatformTypeX11EmbedWindowID);
        EXPECT_EQ(attached, kResultTrue);
        if (attached != kResultTrue)
            return nullptr;
        views.push_back(view);
        settle();
        return view.get();
    }
    void settle(std::chrono::milliseconds time = 120ms) { loop->run(time); }
    // Runs the loop until the condition holds, for at most a few seconds (a
    // loaded machine may take a while to deliver input and repaint).
    bool settleUntil(const std::function<bool()>& condition)
    {
        loop->run(5000ms, condition);
        return condition();
    }
    // The largest difference from the expected picture once the window
    // shows it (or has had time to).
    int differenceOnScreen(const std::vector<std::uint32_t>& expected, host::X11HostWindow* from = nullptr,
                           double scale = 1)
    {
        int difference = 256;
        settleUntil([&] { return (difference = largestDifference(screen(from, scale), expected)) <= 2; });
        return difference;
    }
    bool lastEditIs(Vst::ParamID id, Edit::Kind kind) const
    {
        const std::vector<Edit::Kind> kinds = editKinds(id);
        return !kinds.empty() && kinds.back() == kind;
    }
    std::array<double, 5> values() const
    {
        std::array<double, 5> result{};
        for (std::uint32_t id = 0; id < 5; ++id)
            result[id] = plugin.controller()->getParamNormalized(id);
        return result;
    }
    std::vector<std::uint32_t> screen(host::X11HostWindow* from = nullptr, double scale = 1)
    {
        return (from ? from : &window)->capture(0, 0, int(500 * scale), int(256 * scale));
    }
    std::vector<Edit::Kind> editKinds(Vst::ParamID id) const
    {
        std::vector<Edit::Kind> kinds;
        for (const Edit& edit : plugin.handler().edits())
            if (edit.id == id)
                kinds.push_back(edit.kind);
        return kinds;
    }
    double lastPerformed(Vst::ParamID id) const
    {
        double value = -1;
        for (const Edit& edit : plugin.handler().edits())
            if (edit.id == id && edit.kind == Edit::Kind::Perform)
                value = edit.value;
        return value;
    }

    // The user's saved zoom (or anything else saved) stays out of the tests.
    ScopedConfigFolder config;
    PluginInstance plugin{loadedModule()};
    IPtr<host::RunLoop> loop;
    IPtr<host::PlugFrame> plugFrame;
    host::X11HostWindow window{600, 300};
    std::vector<IPtr<IPlugView>> views;
};

} // namespace tarvel::test
