// Saving and restoring both components' states through the module, the way
// hosts do with projects.

#include <cstring>
#include <string>

#include "integration/loaded_plugin.h"

namespace tarvel::test {
namespace {

std::string jsonOf(const Bytes& state)
{
    return state.size() > 4 ? std::string(state.begin() + 4, state.end()) : std::string();
}

Bytes stateWithText(const std::string& json)
{
    Bytes bytes(4 + json.size());
    const auto length = static_cast<std::uint32_t>(json.size());
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(length >> (8 * i));
    std::memcpy(bytes.data() + 4, json.data(), json.size());
    return bytes;
}

void setUserValues(PluginInstance& plugin)
{
    plugin.controller()->setParamNormalized(ratioId, 0.8);
    plugin.controller()->setParamNormalized(targetId, 0.25);
    plugin.controller()->setParamNormalized(stereoRatioId, 0.5);
}

TEST(StateThroughTheModule, BothStatesRoundTripByteForByte)
{
    PluginInstance original(loadedModule());
    setUserValues(original);
    ASSERT_EQ(original.restoreProcessorState(original.controllerState()), kResultOk);
    const Bytes processorBytes = original.processorState();
    const Bytes controllerBytes = original.controllerState();

    PluginInstance restored(loadedModule());
    ASSERT_EQ(restored.restoreProcessorState(processorBytes), kResultOk);
    ASSERT_EQ(restored.restoreControllerState(controllerBytes), kResultOk);
    EXPECT_EQ(restored.processorState(), processorBytes);
    EXPECT_EQ(restored.controllerState(), controllerBytes);
    EXPECT_NEAR(restored.controller()->getParamNormalized(ratioId), 0.8, 1e-7);
}

TEST(StateThroughTheModule, EachSideAcceptsTheOthersState)
{
    PluginInstance plugin(loadedModule());
    setUserValues(plugin);
    const Bytes fromController = plugin.controllerState();
    ASSERT_EQ(plugin.restoreProcessorState(fromController), kResultOk);
    PluginInstance other(loadedModule());
    ASSERT_EQ(other.restoreControllerState(plugin.processorState()), kResultOk);
    // The processor keeps single-precision values, the controller doubles.
    for (Vst::ParamID id = 0; id < 5; ++id)
        EXPECT_NEAR(other.controller()->getParamNormalized(id), plugin.controller()->getParamNormalized(id), 1e-7)
            << "parameter " << id;
    EXPECT_NEAR(other.controller()->getParamNormalized(ratioId), 0.8, 1e-7);
}

TEST(StateThroughTheModule, GetStateAfterAutomationStoresTheAutomatedValue)
{
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    AudioBlock<float> block(2, 256);
    block.changes.addPoint(ratioId, 10, 0.3);
    block.changes.addPoint(ratioId, 200, 0.9);
    ASSERT_EQ(block.run(*plugin.processor(), 256), kResultOk);

    PluginInstance restored(loadedModule());
    ASSERT_EQ(restored.restoreProcessorState(plugin.processorState()), kResultOk);
    EXPECT_NEAR(restored.controller()->getParamNormalized(ratioId), 0.9, 1e-6);
}

TEST(StateThroughTheModule, ValuesThatAreNotFiniteStillSaveAsTheValueTheyActAs)
{
    // Automation and a state with values that overflow a float: both are
    // kept as they arrive (as infinities), and saving must still work.
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    AudioBlock<float> block(2, 64);
    block.changes.addPoint(bypassId, 0, -1e300);
    block.changes.addPoint(ratioId, 0, 1e300);
    ASSERT_EQ(block.run(*plugin.processor(), 64), kResultOk);
    const Bytes saved = plugin.processorState();
    EXPECT_NE(jsonOf(saved).find("\"bypass\":0,"), std::string::npos) << jsonOf(saved);
    EXPECT_NE(jsonOf(saved).find("\"ratio\":1,"), std::string::npos) << jsonOf(saved);

    PluginInstance loaded(loadedModule());
    ASSERT_EQ(loaded.restoreProcessorState(stateWithText(R"({"ratio":1e300,"target":-1e300})")), kResultOk);
    // A state's value beyond float's range is kept as the largest float of
    // its sign: it saves, and the saved state loads back to the same bytes.
    const Bytes resaved = loaded.processorState();
    PluginInstance reloaded(loadedModule());
    ASSERT_EQ(reloaded.restoreProcessorState(resaved), kResultOk);
    EXPECT_EQ(jsonOf(reloaded.processorState()), jsonOf(resaved));
    EXPECT_DOUBLE_EQ(reloaded.controller()->getParamNormalized(ratioId), 1.0);
    EXPECT_NO_THROW(loaded.controllerState());
}

TEST(StateThroughTheModule, AFailedSetStateChangesNothing)
{
    PluginInstance plugin(loadedModule());
    setUserValues(plugin);
    ASSERT_EQ(plugin.restoreProcessorState(plugin.controllerState()), kResultOk);
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    const Bytes processorBefore = plugin.processorState();
    const Bytes controllerBefore = plugin.controllerState();
    const uint32 latencyBefore = plugin.processor()->getLatencySamples();

    Bytes oversized = stateWithText("{}");
    oversized[3] = 0x7F; // a length word of about 2 GiB
    const Bytes bad[] = {
        {},
        {0x05, 0x00},
        stateWithText("{\"ratio\": 0.1"),
        stateWithText("[0.1, 0.2]"),
        oversized,
        Bytes{0x10, 0, 0, 0, '{', '}'}, // shorter than its length word says
    };
    for (const Bytes& state : bad) {
        EXPECT_EQ(plugin.restoreProcessorState(state), kResultFalse);
        EXPECT_EQ(plugin.restoreControllerState(state), kResultFalse);
    }
    EXPECT_EQ(plugin.processorState(), processorBefore);
    EXPECT_EQ(plugin.controllerState(), controllerBefore);
    EXPECT_EQ(plugin.processor()->getLatencySamples(), latencyBefore);
    EXPECT_EQ(plugin.component()->setState(nullptr), kResultFalse);
    EXPECT_EQ(plugin.component()->getState(nullptr), kResultFalse);
    EXPECT_EQ(plugin.controller()->setState(nullptr), kResultFalse);
    EXPECT_EQ(plugin.controller()->setComponentState(nullptr), kResultFalse);
}

TEST(StateThroughTheModule, MissingMembersTakeTheirDefaults)
{
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.restoreProcessorState(stateWithText("{\"ratio\":\"loud\",\"unknown\":3}")), kResultOk);
    PluginInstance fresh(loadedModule());
    EXPECT_EQ(jsonOf(plugin.processorState()), jsonOf(fresh.processorState()));
}

TEST(StateThroughTheModule, RestoringAStateRecomputesTheLatency)
{
    PluginInstance plugin(loadedModule());
    plugin.controller()->setParamNormalized(speedId, 0.0);
    const Bytes fast = plugin.controllerState();
    PluginInstance other(loadedModule());
    ASSERT_EQ(other.start(processSetup(), 2), kResultOk);
    ASSERT_EQ(other.restoreProcessorState(fast), kResultOk);
    EXPECT_EQ(other.processor()->getLatencySamples(), 592u);
    EXPECT_EQ(other.controller()->getParamNormalized(speedId), 0.0);
}

// Found by fuzzing: a value beyond single precision's range loaded, and
// from then on the processor could not save its state.
TEST(StateThroughTheModule, AValueBeyondSinglePrecisionLoadsAndSavesAgain)
{
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.restoreProcessorState(stateWithText(R"({"stereoRatio":0.81E79,"target":-1e300})")), kResultOk);
    const Bytes saved = plugin.processorState();
    PluginInstance other(loadedModule());
    ASSERT_EQ(other.restoreProcessorState(saved), kResultOk);
    EXPECT_EQ(other.processorState(), saved);
    // Shown as the ends of their ranges.
    EXPECT_EQ(other.controller()->getParamNormalized(stereoRatioId), 1.0);
    EXPECT_EQ(other.controller()->getParamNormalized(targetId), 0.0);
}

} // namespace
} // namespace tarvel::test
