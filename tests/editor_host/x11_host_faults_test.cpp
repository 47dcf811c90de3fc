// What users of real DAWs met with the editor open: a Speed change made in
// the editor that a host does not pass on to the processor, and the host's
// keyboard shortcuts while the editor is focused. Through the loaded module
// in an X11 host window, input sent as a user's through XTest.
#include "x11_editor_fixture.h"

#include <X11/X.h>
#include <X11/keysym.h>

namespace tarvel::test {
namespace {

constexpr uint32 fastLatency48k = 592;

// A DAW processing while the editor is open. Edits of parameters it lists
// for automation reach the processor in the next block's queue; edits of
// the others it drops, unless it passes everything. A latency restart is
// done before the next block, after the queue has been flushed in an empty
// block.
class ProcessingHost {
public:
    ProcessingHost(PluginInstance& instance, bool passesEveryEdit) : plugin(instance), block(2, 512)
    {
        plugin.handler().onPerform = [this, passesEveryEdit](Vst::ParamID id, Vst::ParamValue value) {
            Vst::ParameterInfo info{};
            plugin.controller()->getParameterInfo(static_cast<int32>(id), info);
            if (passesEveryEdit || (info.flags & Vst::ParameterInfo::kCanAutomate))
                block.changes.addPoint(id, 0, value);
        };
        plugin.handler().onRestart = [this](int32 flags) { restartAsked |= (flags & Vst::kLatencyChanged) != 0; };
    }
    ~ProcessingHost()
    {
        plugin.handler().onPerform = nullptr;
        plugin.handler().onRestart = nullptr;
    }

    // Where the peak of an impulse comes out, after a restart if one was
    // asked for (bypass is on: the output is the input delayed).
    std::ptrdiff_t impulseDelay()
    {
        if (restartAsked) {
            restartAsked = false;
            EXPECT_EQ(block.run(*plugin.processor(), 0), kResultOk);
            plugin.stop();
            EXPECT_EQ(plugin.start(processSetup(), 2), kResultOk);
            ++restarts;
        }
        std::vector<std::vector<float>> impulse(2, std::vector<float>(8192, 0.0f));
        impulse[0][100] = 0.5f;
        const auto out = processSignal(*plugin.processor(), impulse, 512);
        const auto peak = std::max_element(out[0].begin(), out[0].end(),
                                           [](float a, float b) { return std::abs(a) < std::abs(b); });
        return *peak > 0.25f ? (peak - out[0].begin()) - 100 : -1;
    }

    int restarts = 0;

private:
    PluginInstance& plugin;
    AudioBlock<float> block;
    bool restartAsked = false;
};

class SpeedFromTheEditor : public EditorInHost, public ::testing::WithParamInterface<bool> {};

TEST_P(SpeedFromTheEditor, ProcessorControllerAndLatencyAgreeAndTheAudioIsWhereReported)
{
    // Bypass on from the start, as a loaded project would have it.
    plugin.controller()->setParamNormalized(bypassId, 1.0);
    ASSERT_EQ(plugin.restoreProcessorState(plugin.controllerState()), kResultOk);
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    ProcessingHost daw(plugin, GetParam());
    EXPECT_EQ(daw.impulseDelay(), std::ptrdiff_t(plugin.processor()->getLatencySamples()));
    ASSERT_NE(open(), nullptr);

    // One wheel notch down on Speed, as a user turns it to FAST.
    window.moveTo(speedX, speedY);
    window.click(5);
    ASSERT_TRUE(settleUntil([&] { return lastEditIs(speedId, Edit::Kind::Perform); }));
    EXPECT_EQ(plugin.controller()->getParamNormalized(speedId), 0.0);

    EXPECT_EQ(plugin.processor()->getLatencySamples(), fastLatency48k);
    EXPECT_EQ(daw.impulseDelay(), std::ptrdiff_t(fastLatency48k));
    EXPECT_EQ(daw.restarts, 1);
    EXPECT_EQ(speedInState(plugin.processorState()), 0.0);
    EXPECT_EQ(speedInState(plugin.controllerState()), 0.0);
    // Still so when the project is saved and opened again.
    PluginInstance reopened(loadedModule());
    ASSERT_EQ(reopened.restoreProcessorState(plugin.processorState()), kResultOk);
    ASSERT_EQ(reopened.restoreControllerState(plugin.controllerState()), kResultOk);
    ASSERT_EQ(reopened.start(processSetup(), 2), kResultOk);
    EXPECT_EQ(reopened.processor()->getLatencySamples(), fastLatency48k);
    EXPECT_EQ(ProcessingHost(reopened, GetParam()).impulseDelay(), std::ptrdiff_t(fastLatency48k));
}

INSTANTIATE_TEST_SUITE_P(HostsThatDropAndThatPassTheEdit, SpeedFromTheEditor, ::testing::Values(false, true),
                         [](const auto& test) { return test.param ? "HostPassesIt" : "HostDropsIt"; });

class KeysInTheEditor : public EditorInHost {
protected:
    // Whether the host's window has been given the key, pressed, with
    // exactly these modifiers among Shift, Control, Alt and Super.
    bool hostGot(unsigned long keysym, unsigned int modifiers)
    {
        for (const auto& key : received)
            if (key.press && key.keysym == keysym &&
                (key.state & (ShiftMask | ControlMask | Mod1Mask | Mod4Mask)) == modifiers)
                return true;
        return false;
    }
    bool waitForHost(unsigned long keysym, unsigned int modifiers = 0)
    {
        return settleUntil([&] {
            drain();
            return hostGot(keysym, modifiers);
        });
    }
    void drain()
    {
        for (const auto& key : window.keysReceived())
            received.push_back(key);
    }
    unsigned long editorWindow() const { return window.children().at(0); }

    std::vector<host::X11HostWindow::KeyEvent> received;
};

TEST_F(KeysInTheEditor, TheHostKeepsItsShortcutsWhileTheKnobsKeepTheirKeys)
{
    ASSERT_NE(open(), nullptr);
    const double ratio = plugin.controller()->getParamNormalized(ratioId);
    window.moveTo(ratioX, ratioY);
    window.click(1);
    ASSERT_TRUE(settleUntil([&] { return window.focusWindow() == editorWindow(); }));

    // Save and play: the host's, although the editor has the keyboard.
    window.key(XK_s, {XK_Control_L});
    EXPECT_TRUE(waitForHost(XK_s, ControlMask));
    window.key(XK_space);
    EXPECT_TRUE(waitForHost(XK_space));
    EXPECT_EQ(plugin.controller()->getParamNormalized(ratioId), ratio);

    // An arrow steps the clicked knob and stays with the editor; with
    // Control held it is the host's.
    window.key(XK_Down);
    EXPECT_TRUE(settleUntil([&] { return plugin.controller()->getParamNormalized(ratioId) != ratio; }));
    EXPECT_NEAR(lastPerformed(ratioId), ratio - 0.1, 1e-6);
    window.key(XK_Down, {XK_Control_L});
    EXPECT_TRUE(waitForHost(XK_Down, ControlMask));
    EXPECT_FALSE(hostGot(XK_Down, 0));
    EXPECT_NEAR(plugin.controller()->getParamNormalized(ratioId), ratio - 0.1, 1e-6);
    // Every key given to the host was given whole: a release for each press.
    settle();
    drain();
    const auto presses = std::count_if(received.begin(), received.end(), [](const auto& k) { return k.press; });
    EXPECT_EQ(presses * 2, std::ptrdiff_t(received.size()));

    // The pointer goes back to the host: so does the keyboard.
    window.moveTo(550, 150);
    EXPECT_TRUE(settleUntil([&] { return window.focusWindow() != editorWindow(); }));
    window.key(XK_space);
    received.clear();
    EXPECT_TRUE(waitForHost(XK_space));

    // A click on the editor's background takes no keys.
    window.moveTo(ratioX, ratioY);
    window.click(1);
    ASSERT_TRUE(settleUntil([&] { return window.focusWindow() == editorWindow(); }));
    window.moveTo(30, 12);
    window.click(1);
    EXPECT_TRUE(settleUntil([&] { return window.focusWindow() != editorWindow(); }));
}

} // namespace
} // namespace tarvel::test
