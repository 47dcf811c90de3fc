// The editor in a Linux host, through the loaded module: the host's own
// run loop, plug-in frame and X11 window, input sent with XTest, and what
// the screen shows read back and compared with the offscreen render.
#include "x11_editor_fixture.h"
#include "protocol/messages.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <X11/keysym.h>

#include <cmath>
#include <functional>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <sys/wait.h>

namespace tarvel::test {
namespace {


TEST_F(EditorInHost, OpensEmbeddedAndShowsWhatTheOffscreenRenderShows)
{
    loop->spuriousEvents = true; // as some hosts call: nothing may block
    const int errors = host::X11HostWindow::errorCount();
    IPtr<IPlugView> unattached = owned(plugin.controller()->createView(Vst::ViewType::kEditor));
    ViewRect size;
    ASSERT_EQ(unattached->getSize(&size), kResultOk);
    EXPECT_EQ(size.getWidth(), 500);
    EXPECT_EQ(size.getHeight(), 256);
    EXPECT_EQ(unattached->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
    EXPECT_EQ(unattached->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);

    ASSERT_NE(open(), nullptr);
    ASSERT_EQ(plugFrame->resizes().size(), 1u);
    EXPECT_EQ(plugFrame->resizes()[0].getWidth(), 500);
    const std::vector<unsigned long> children = window.children();
    ASSERT_EQ(children.size(), 1u);
    EXPECT_TRUE(window.isMapped(children[0]));
    EXPECT_EQ(window.property(children[0], "_XEMBED_INFO"), (std::vector<long>{0, 0}));
    // Identical drawing code: equal but for a rounding step.
    EXPECT_LE(differenceOnScreen(referenceEditor(values(), -1000, false)), 2);
    EXPECT_EQ(host::X11HostWindow::errorCount(), errors);
}

TEST_F(EditorInHost, DragWheelAndHostChangesTravelBothWays)
{
    ASSERT_NE(open(), nullptr);
    // Drag Ratio from its top (the value 0.5) round to the right: 90 of 240 degrees more.
    window.moveTo(ratioX, ratioY - 25);
    window.press(1);
    settle(30ms);
    window.moveTo(ratioX + 12, ratioY - 22);
    settle(30ms);
    window.moveTo(ratioX + 25, ratioY);
    settle(30ms);
    window.release(1);
    EXPECT_TRUE(settleUntil([&] { return lastEditIs(ratioId, Edit::Kind::End); }));
    const std::vector<Edit::Kind> kinds = editKinds(Vst::ParamID(ratioId));
    ASSERT_GE(kinds.size(), 3u);
    EXPECT_EQ(kinds.front(), Edit::Kind::Begin);
    EXPECT_EQ(kinds.back(), Edit::Kind::End);
    EXPECT_TRUE(std::all_of(kinds.begin() + 1, kinds.end() - 1, [](Edit::Kind k) { return k == Edit::Kind::Perform; }));
    EXPECT_NEAR(lastPerformed(ratioId), 0.875, 0.01);
    EXPECT_DOUBLE_EQ(plugin.controller()->getParamNormalized(ratioId), lastPerformed(ratioId));
    // The click gave the window the keyboard: an arrow key steps the knob.
    const double dragged = lastPerformed(ratioId);
    window.key(XK_Down);
    settleUntil([&] { return lastPerformed(ratioId) != dragged; });
    EXPECT_NEAR(lastPerformed(ratioId), dragged - 0.1, 1e-6);

    // One wheel notch down switches Speed from slow to fast; the edit ends once the wheel rests.
    window.moveTo(speedX, speedY);
    window.click(5);
    settleUntil([&] { return lastEditIs(speedId, Edit::Kind::Perform); });
    EXPECT_EQ(editKinds(speedId), (std::vector<Edit::Kind>{Edit::Kind::Begin, Edit::Kind::Perform}));
    EXPECT_EQ(plugin.controller()->getParamNormalized(speedId), 0.0);
    EXPECT_TRUE(settleUntil([&] { return lastEditIs(speedId, Edit::Kind::End); }));

    // The host moves Target: the knob and the graph's cross-hair follow on screen.
    plugin.controller()->setParamNormalized(targetId, 0.0);
    EXPECT_LE(differenceOnScreen(referenceEditor(values(), -1000, false)), 2);
}

TEST_F(EditorInHost, RightClickOffersResetAndManualThroughTheHostsMenu)
{
    ASSERT_NE(open(), nullptr);
    plugin.controller()->setParamNormalized(ratioId, 0.9);
    window.moveTo(ratioX, ratioY);
    window.click(3);
    settleUntil([&] { return plugin.handler().lastMenu() != nullptr; });
    host::ContextMenu* menu = plugin.handler().lastMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(plugin.handler().lastMenuParameter, ratioId);
    // Reset, manual, and the zoom's submenu (its start, five steps, its end).
    ASSERT_EQ(menu->entries().size(), 9u);
    EXPECT_EQ(menu->entries()[0].item.tag, 1002);
    EXPECT_EQ(menu->entries()[1].item.tag, 2002);
    EXPECT_EQ(menu->entries()[2].item.flags, Vst::IContextMenuItem::kIsGroupStart);
    EXPECT_EQ(menu->entries()[8].item.flags, Vst::IContextMenuItem::kIsGroupEnd);
    EXPECT_FALSE(menu->label(0).empty());
    EXPECT_TRUE(menu->poppedUp());
    EXPECT_EQ(menu->popupX, ratioX);
    EXPECT_EQ(menu->popupY, ratioY);
    EXPECT_TRUE(plugin.handler().edits().empty()) << "the knob did not take the click";

    EXPECT_EQ(menu->choose(1002), kResultOk);
    EXPECT_EQ(editKinds(ratioId), (std::vector<Edit::Kind>{Edit::Kind::Begin, Edit::Kind::Perform, Edit::Kind::End}));
    EXPECT_DOUBLE_EQ(plugin.controller()->getParamNormalized(ratioId), 0.5);
}

// Run by the test below from a copy of this program whose path holds the
// marker of hosts that get no context menu.
TEST_F(EditorInHost, MarkedHostGetsNoContextMenu)
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    if (self.find("nocontextmenu") == std::string::npos) {
        const auto folder = std::filesystem::temp_directory_path() / ("tarvel-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        const auto copy = folder / "host-nocontextmenu";
        const auto output = folder / "output.txt";
        std::filesystem::copy_file(self, copy);
        const std::string command =
            copy.string() + " --gtest_filter=EditorInHost.MarkedHostGetsNoContextMenu >" + output.string() + " 2>&1";
        const int status = std::system(command.c_str());
        std::ifstream log(output);
        const std::string text{std::istreambuf_iterator<char>(log), {}};
        std::filesystem::remove_all(folder);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text;
        return;
    }
    ASSERT_NE(open(), nullptr);
    window.moveTo(ratioX, ratioY);
    window.click(3);
    // A wheel notch after the right click: once it has arrived, so has the click.
    window.click(4);
    ASSERT_TRUE(settleUntil([&] { return lastEditIs(ratioId, Edit::Kind::Perform); }));
    EXPECT_EQ(plugin.handler().menusMade, 0);
}

TEST_F(EditorInHost, TimerAsksForTheReadingAndTheGraphFollowsASinePlaying)
{
    ASSERT_NE(open(), nullptr);
    const std::uint32_t before = screen()[std::size_t(fillY) * 500 + fillX];
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    AudioBlock<float> block(2, 480);
    double phase = 0;
    plugin.fromController()->clearLog();
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < 1500ms) {
        for (int32 c = 0; c < 2; ++c)
            for (int i = 0; i < 480; ++i)
                block.input[std::size_t(c)][std::size_t(i)] = float(0.1 * std::sin(phase + i * 2 * M_PI * 1000 / 48000));
        phase += 480 * 2 * M_PI * 1000 / 48000;
        block.run(*plugin.processor(), 480);
        settle(10ms); // 10 ms of audio per 10 ms
    }
    const std::size_t asked = plugin.fromController()->count(messages::meterRequest);
    EXPECT_NEAR(double(asked), 1500.0 / 50, 6) << "one request every 50 ms";
    const std::uint32_t after = screen()[std::size_t(fillY) * 500 + fillX];
    EXPECT_NE(after, before);
    EXPECT_GT((after >> 8) & 0xFF, (before >> 8) & 0xFF) << "the reached part is filled green";
    plugin.stop();
}

TEST_F(EditorInHost, LifecycleEdges)
{
    IPlugView* first = open();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->attached(window.parent(), kPlatformTypeX11EmbedWindowID), kResultFalse) << "already open";
    EXPECT_EQ(window.children().size(), 1u);

    // A second editor in a second window: both follow the host.
    host::X11HostWindow other(600, 300, 640, 0);
    ASSERT_NE(open(&other), nullptr);
    plugin.controller()->setParamNormalized(stereoRatioId, 0.7);
    const auto expected = referenceEditor(values(), -1000, false);
    EXPECT_LE(differenceOnScreen(expected), 2);
    EXPECT_LE(differenceOnScreen(expected, &other), 2);

    // Closing mid-drag ends the edit.
    window.moveTo(ratioX, ratioY - 25);
    window.press(1);
    settle(30ms);
    window.moveTo(ratioX + 20, ratioY - 10);
    EXPECT_TRUE(settleUntil([&] { return lastEditIs(ratioId, Edit::Kind::Perform); }));
    plugFrame = nullptr; // some hosts drop the frame before removing the view
    first->setFrame(nullptr);
    EXPECT_EQ(first->removed(), kResultOk);
    views.erase(views.begin());
    window.release(1);
    EXPECT_EQ(editKinds(ratioId).back(), Edit::Kind::End);
    window.sync();
    EXPECT_TRUE(window.children().empty());
}

TEST_F(EditorInHost, AHostScaleMakesEverythingThatMuchLarger)
{
    host::X11HostWindow large(1100, 600);
    IPtr<IPlugView> view = owned(plugin.controller()->createView(Vst::ViewType::kEditor));
    FUnknownPtr<IPlugViewContentScaleSupport> scaling(view);
    ASSERT_TRUE(scaling);
    EXPECT_EQ(scaling->setContentScaleFactor(2.0), kResultTrue);
    ViewRect size;
    view->getSize(&size);
    EXPECT_EQ(size.getWidth(), 1000);
    EXPECT_EQ(size.getHeight(), 512);
    ViewRect proposed(0, 0, 700, 100);
    view->checkSizeConstraint(&proposed);
    EXPECT_EQ(proposed.getWidth(), 1000);
    EXPECT_EQ(proposed.getHeight(), 512);
    view->setFrame(plugFrame);
    ASSERT_EQ(view->attached(large.parent(), kPlatformTypeX11EmbedWindowID), kResultTrue);
    views.push_back(view);
    EXPECT_EQ(plugFrame->resizes().back().getWidth(), 1000);
    EXPECT_LE(differenceOnScreen(referenceEditor(values(), -1000, false, 2.0), &large, 2.0), 2);
    // The mouse is mapped back: a drag from Ratio's top to its right at twice the distance.
    large.moveTo(2 * ratioX, 2 * (ratioY - 25));
    large.press(1);
    settle(30ms);
    large.moveTo(2 * (ratioX + 25), 2 * ratioY);
    settle(30ms);
    large.release(1);
    EXPECT_TRUE(settleUntil([&] { return lastEditIs(ratioId, Edit::Kind::End); }));
    EXPECT_NEAR(lastPerformed(ratioId), 0.875, 0.01);
}

TEST_F(EditorInHost, HostWithoutARunLoopGetsNoEditor)
{
    IPtr<host::PlugFrame> bare = owned(new host::PlugFrame(nullptr));
    IPtr<IPlugView> view = owned(plugin.controller()->createView(Vst::ViewType::kEditor));
    view->setFrame(bare);
    EXPECT_EQ(view->attached(window.parent(), kPlatformTypeX11EmbedWindowID), kResultFalse);
    window.sync();
    EXPECT_TRUE(window.children().empty());
    EXPECT_EQ(view->removed(), kResultOk);
}

TEST_F(EditorInHost, OpensAndClosesTwoHundredTimesCleanly)
{
    const int errors = host::X11HostWindow::errorCount();
    for (int cycle = 0; cycle < 200; ++cycle) {
        IPtr<IPlugView> view = owned(plugin.controller()->createView(Vst::ViewType::kEditor));
        view->setFrame(plugFrame);
        ASSERT_EQ(view->attached(window.parent(), kPlatformTypeX11EmbedWindowID), kResultTrue) << cycle;
        loop->run(cycle % 20 == 0 ? 60ms : 1ms);
        ASSERT_EQ(view->removed(), kResultOk);
    }
    window.sync();
    EXPECT_TRUE(window.children().empty());
    EXPECT_EQ(loop->eventHandlerCount(), 0u);
    EXPECT_EQ(loop->timerCount(), 0u);
    EXPECT_EQ(host::X11HostWindow::errorCount(), errors);
}

} // namespace
} // namespace tarvel::test
