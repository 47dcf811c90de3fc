// The built module as a VST 2.4 host sees it: entered through VSTPluginMain,
// driven only through the effect record and its dispatcher.

#include <cstddef>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tools/host/vst2_host.h"

namespace tarvel::test {
namespace {

using namespace vst2;

constexpr VstInt32 Bypass = 0, Speed = 1, Ratio = 2, StereoRatio = 3, Target = 4;

TEST(Vst2Entry, HostAnsweringVersionZeroGetsNullAndOnlyTheVersionQuery)
{
    host::Vst2Host host(TARVEL_MODULE_PATH, 0);
    EXPECT_EQ(host.open(), nullptr);
    ASSERT_EQ(host.allCalls().size(), 1u);
    EXPECT_EQ(host.allCalls()[0].opcode, audioMasterVersion);
    EXPECT_FALSE(host.allCalls()[0].hadEffect);
}

TEST(Vst2Entry, MainIsTheSameEntryUnderAnotherName)
{
    host::Vst2Host viaMain{TARVEL_MODULE_PATH};
    AEffect* effect = viaMain.open("main");
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->uniqueID, 0x038CBFD9);
    host::Vst2Host refused(TARVEL_MODULE_PATH, 0);
    EXPECT_EQ(refused.open("main"), nullptr);
}

TEST(Vst2Entry, EachCallGivesAnIndependentEffect)
{
    host::Vst2Host first(TARVEL_MODULE_PATH), second(TARVEL_MODULE_PATH);
    AEffect* a = first.open();
    AEffect* b = second.open();
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    a->setParameter(a, Ratio, 0.9f);
    EXPECT_FLOAT_EQ(a->getParameter(a, Ratio), 0.9f);
    EXPECT_FLOAT_EQ(b->getParameter(b, Ratio), 0.5f);
}

class Vst2Effect : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(host.open(), nullptr); }

    AEffect& effect() { return *host.effect; }
    void set(VstInt32 index, float value) { effect().setParameter(&effect(), index, value); }
    float get(VstInt32 index) { return effect().getParameter(&effect(), index); }

    // A few stereo blocks of a steady signal, so the processor takes the
    // values waiting for it.
    void processBlocks(int count)
    {
        std::vector<float> left(256, 0.1f), right(256, -0.1f);
        float* channels[2] = {left.data(), right.data()};
        for (int i = 0; i < count; ++i)
            effect().processReplacing(&effect(), channels, channels, 256);
    }

    // Samples between an impulse going in and its peak coming out.
    std::ptrdiff_t impulseDelay()
    {
        std::vector<float> left(8192, 0.0f), right(8192, 0.0f);
        left[300] = 0.8f;
        right[300] = 0.6f;
        for (int start = 0; start < 8192; start += 512) {
            float* channels[2] = {left.data() + start, right.data() + start};
            effect().processReplacing(&effect(), channels, channels, 512);
        }
        const auto peak = std::max_element(left.begin(), left.end(),
                                           [](float a, float b) { return std::abs(a) < std::abs(b); });
        EXPECT_NEAR(*peak, 0.8f, 1e-3f);
        return peak - left.begin() - 300;
    }

    host::Vst2Host host{TARVEL_MODULE_PATH};
};

TEST_F(Vst2Effect, IdentityMatchesTheGoldenValues)
{
    EXPECT_EQ(effect().magic, kEffectMagic);
    EXPECT_EQ(effect().uniqueID, 0x038CBFD9);
    EXPECT_EQ(host.dispatch(effGetPlugCategory), kPlugCategEffect);
    EXPECT_EQ(host.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(host.dispatch(effGetVendorVersion), 1140);
    EXPECT_EQ(effect().version, 1140);
    EXPECT_EQ(host.text(effGetEffectName), "Tarvel64");
    EXPECT_EQ(host.text(effGetProductString), "Tarvel64");
    EXPECT_EQ(host.text(effGetVendorString), "Vantle Audio");
    EXPECT_EQ(effect().numParams, 5);
    EXPECT_EQ(effect().numPrograms, 1);
    EXPECT_EQ(effect().numInputs, 2);
    EXPECT_EQ(effect().numOutputs, 2);
    const VstInt32 expectedFlags =
        effFlagsHasEditor | effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsProgramChunks;
    EXPECT_EQ(effect().flags, expectedFlags);
}

TEST_F(Vst2Effect, EditorSizeAndRefusalsWithoutAWindow)
{
    ERect* rect = nullptr;
    ASSERT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 500);
    EXPECT_EQ(rect->bottom - rect->top, 256);
    EXPECT_EQ(host.dispatch(effEditOpen), 0) << "no parent window";
    EXPECT_EQ(host.dispatch(effEditClose), 1);
    EXPECT_EQ(host.dispatch(effEditIdle), 1);
}

TEST_F(Vst2Effect, ParameterTextsComeFromTheController)
{
    const char* names[] = {"Bypass", "Speed", "Ratio", "Stereo", "Target"};
    const char* labels[] = {"", "", "", "", "LUFS"};
    const char* displays[] = {"Off", "Slow", "2.00", "1.00", "-20.00"};
    for (VstInt32 i = 0; i < 5; ++i) {
        // The ABI's field: at most seven characters and a terminator.
        EXPECT_EQ(host.text(effGetParamName, i), names[i]) << i;
        EXPECT_EQ(host.text(effGetParamLabel, i), labels[i]) << i;
        EXPECT_EQ(host.text(effGetParamDisplay, i), displays[i]) << i;
    }
    set(Bypass, 1.0f);
    set(Speed, 0.0f);
    set(Target, 1.0f);
    EXPECT_EQ(host.text(effGetParamDisplay, Bypass), "On");
    EXPECT_EQ(host.text(effGetParamDisplay, Speed), "Fast");
    EXPECT_EQ(host.text(effGetParamDisplay, Target), "0.00");

    VstParameterProperties properties;
    ASSERT_EQ(host.dispatch(effGetParameterProperties, StereoRatio, 0, &properties), 1);
    EXPECT_STREQ(properties.label, "Stereo Ratio");
    EXPECT_EQ(properties.flags & kVstParameterIsSwitch, 0);
    ASSERT_EQ(host.dispatch(effGetParameterProperties, Bypass, 0, &properties), 1);
    EXPECT_NE(properties.flags & kVstParameterIsSwitch, 0);
}

TEST_F(Vst2Effect, SetParameterIsReadBackAndAutomationFollowsTheFlags)
{
    set(Ratio, 0.75f);
    set(StereoRatio, 0.125f);
    EXPECT_FLOAT_EQ(get(Ratio), 0.75f);
    EXPECT_FLOAT_EQ(get(StereoRatio), 0.125f);
    EXPECT_FLOAT_EQ(get(Target), 0.5f);
    EXPECT_EQ(host.dispatch(effCanBeAutomated, Bypass), 1);
    EXPECT_EQ(host.dispatch(effCanBeAutomated, Speed), 0);
    EXPECT_EQ(host.dispatch(effCanBeAutomated, Ratio), 1);
    EXPECT_EQ(host.dispatch(effCanBeAutomated, StereoRatio), 1);
    EXPECT_EQ(host.dispatch(effCanBeAutomated, Target), 1);
    // A host's own setParameter is not echoed back as automation.
    EXPECT_TRUE(host.callsOf(audioMasterAutomate).empty());

    EXPECT_EQ(host.dispatch(effSetBypass, 0, 1), 1);
    EXPECT_FLOAT_EQ(get(Bypass), 1.0f);
    EXPECT_EQ(host.dispatch(effCanDo, 0, 0, const_cast<char*>("bypass")), 1);
}

TEST_F(Vst2Effect, OutOfRangeIndicesAndNullBuffersAreRefusedQuietly)
{
    set(-1, 0.3f);
    set(5, 0.3f);
    set(1 << 30, 0.3f);
    EXPECT_EQ(get(-1), 0.0f);
    EXPECT_EQ(get(5), 0.0f);
    for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
        EXPECT_EQ(host.text(opcode, 5).substr(0, 4), "xxxx") << opcode;
        EXPECT_EQ(host.dispatch(opcode, 0, 0, nullptr), 0) << opcode;
    }
    EXPECT_EQ(host.dispatch(effCanBeAutomated, -3), 0);
    EXPECT_EQ(host.dispatch(effGetParameterProperties, 0, 0, nullptr), 0);
    EXPECT_EQ(host.dispatch(effString2Parameter, Ratio, 0, nullptr), 0);
    EXPECT_EQ(host.dispatch(effCanDo, 0, 0, nullptr), 0);
    EXPECT_EQ(host.dispatch(effGetEffectName, 0, 0, nullptr), 0);
    // Nothing a broken host sends disturbs the values.
    EXPECT_FLOAT_EQ(get(Ratio), 0.5f);
}

TEST_F(Vst2Effect, UnknownOpcodesAndGarbageArgumentsAnswerZero)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (VstInt32 opcode = -5; opcode < 140; ++opcode) {
        if (opcode == effClose)
            continue;
        host.dispatch(opcode, 123456, -7, nullptr, nan);
    }
    EXPECT_EQ(host.dispatch(9999), 0);
    EXPECT_EQ(effect().dispatcher(nullptr, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
    effect().setParameter(nullptr, Ratio, 0.2f);
    EXPECT_EQ(effect().getParameter(nullptr, Ratio), 0.0f);
    // Still a working effect afterwards.
    EXPECT_EQ(host.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(host.dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(host.dispatch(effSetSampleRate, 0, 0, nullptr, nan), 0);
    EXPECT_EQ(host.dispatch(effSetBlockSize, 0, -1), 0);
    host.resume();
    processBlocks(2);
}

TEST_F(Vst2Effect, SuspendedOrBufferlessProcessingIsSilentAndSafe)
{
    std::vector<float> left(64, 0.5f), right(64, 0.5f);
    float* channels[2] = {left.data(), right.data()};
    effect().processReplacing(&effect(), channels, channels, 64);
    for (float sample : left)
        ASSERT_EQ(sample, 0.0f);
    effect().processReplacing(&effect(), nullptr, nullptr, 64);
    host.resume();
    effect().processReplacing(&effect(), nullptr, nullptr, 64);
    float* missing[2] = {nullptr, nullptr};
    effect().processReplacing(&effect(), missing, missing, 64);
    effect().processReplacing(&effect(), channels, channels, 0);
    effect().processReplacing(&effect(), channels, channels, -5);
    // Double blocks for an effect set up for single precision are silent.
    std::vector<double> wide(64, 0.5);
    double* wideChannels[2] = {wide.data(), wide.data()};
    effect().processDoubleReplacing(&effect(), wideChannels, wideChannels, 64);
    EXPECT_EQ(wide[10], 0.0);
}

TEST_F(Vst2Effect, ARefusedSetUpLeavesTheEffectSuspendedAndSilent)
{
    // The processor builds no engine for a rate this low.
    EXPECT_EQ(host.dispatch(effSetSampleRate, 0, 0, nullptr, 500.0f), 1);
    EXPECT_EQ(host.dispatch(effMainsChanged, 0, 1), 0);
    std::vector<float> samples(64, 0.5f);
    float* channels[2] = {samples.data(), samples.data()};
    effect().processReplacing(&effect(), channels, channels, 64);
    EXPECT_EQ(samples[3], 0.0f);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ(host.dispatch(effMainsChanged, 0, 1), 1);
    EXPECT_EQ(host.dispatch(effMainsChanged, 0, 1), 1) << "already running";
}

TEST_F(Vst2Effect, SpeakerArrangementChoosesMonoOrStereoWhileSuspended)
{
    VstSpeakerArrangement mono{}, stereo{};
    mono.type = kSpeakerArrMono;
    mono.numChannels = 1;
    stereo.type = kSpeakerArrStereo;
    stereo.numChannels = 2;
    auto arrange = [&](VstSpeakerArrangement& in, VstSpeakerArrangement& out) {
        return host.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out);
    };
    EXPECT_EQ(arrange(mono, stereo), 0);
    EXPECT_EQ(effect().numInputs, 2);
    EXPECT_EQ(arrange(mono, mono), 1);
    EXPECT_EQ(effect().numInputs, 1);
    EXPECT_EQ(effect().numOutputs, 1);
    EXPECT_EQ(host.dispatch(effSetSpeakerArrangement, 0, 0, &mono), 0);
    host.resume();
    EXPECT_EQ(arrange(stereo, stereo), 0);
    std::vector<float> samples(128, 0.25f);
    float* channels[1] = {samples.data()};
    effect().processReplacing(&effect(), channels, channels, 128);
    host.suspend();
    EXPECT_EQ(arrange(stereo, stereo), 1);
    EXPECT_EQ(effect().numInputs, 2);
}

TEST_F(Vst2Effect, ChunkCarriesBothStatesAndRestoresEverything)
{
    set(Ratio, 0.75f);
    set(Target, 0.25f);
    host.resume();
    processBlocks(2);
    const std::vector<std::uint8_t> saved = host.chunk();
    ASSERT_FALSE(saved.empty());
    const std::string text(saved.begin(), saved.end());
    // The processor's state (taken from the engine) and the controller's.
    EXPECT_NE(text.find("\"ratio\":0.75"), std::string::npos) << text;
    EXPECT_NE(text.find("\"ratio\":0.75", text.find("\"ratio\":0.75") + 1), std::string::npos) << text;

    set(Ratio, 0.1f);
    set(Target, 0.9f);
    processBlocks(1);
    ASSERT_EQ(host.restore(saved), 1);
    EXPECT_FLOAT_EQ(get(Ratio), 0.75f);
    EXPECT_FLOAT_EQ(get(Target), 0.25f);
    EXPECT_EQ(host.text(effGetParamDisplay, Target), "-30.00");
    // The host is loading the values; it is not told they were edits.
    EXPECT_TRUE(host.callsOf(audioMasterAutomate).empty());
    processBlocks(1);
    EXPECT_EQ(host.chunk(), saved);

    // Another effect restored from the chunk says the same.
    host::Vst2Host other{TARVEL_MODULE_PATH};
    ASSERT_NE(other.open(), nullptr);
    ASSERT_EQ(other.restore(saved), 1);
    EXPECT_FLOAT_EQ(other.effect->getParameter(other.effect, Ratio), 0.75f);
    EXPECT_EQ(other.chunk(), saved);
}

TEST_F(Vst2Effect, BadChunksAreRefusedAndChangeNothing)
{
    set(Ratio, 0.6f);
    const std::vector<std::uint8_t> before = host.chunk();
    std::vector<std::uint8_t> truncated(before.begin(), before.end() - 3);
    std::vector<std::uint8_t> longer = before;
    longer.push_back(0);
    std::vector<std::uint8_t> wrongTag = before;
    wrongTag[0] = 'X';
    // Well framed, but the processor's part is not a state.
    std::vector<std::uint8_t> badState = before;
    badState[8 + 5] ^= 0x55;
    std::vector<std::uint8_t> garbage(300, 0xA5);
    for (const auto* bad : {&truncated, &longer, &wrongTag, &badState, &garbage}) {
        EXPECT_EQ(host.restore(*bad), 0);
        EXPECT_FLOAT_EQ(get(Ratio), 0.6f);
        EXPECT_EQ(host.chunk(), before);
    }
    EXPECT_EQ(host.dispatch(effSetChunk, 0, 100, nullptr), 0);
    EXPECT_EQ(host.dispatch(effSetChunk, 0, -1, garbage.data()), 0);
    EXPECT_EQ(host.dispatch(effGetChunk, 0, 0, nullptr), 0);
}

// A chunk in the effect's format: the tag, then each state with its size.
std::vector<std::uint8_t> chunkOf(const std::string& processorJson, const std::string& controllerJson)
{
    // A size word, little-endian, before its bytes.
    const auto sized = [](const std::string& bytes) {
        std::string framed(4, '\0');
        for (std::size_t i = 0; i < 4; ++i)
            framed[i] = static_cast<char>(bytes.size() >> (8 * i));
        return framed + bytes;
    };
    const std::string chunk = "V3CS" + sized(sized(processorJson)) + sized(sized(controllerJson));
    return {chunk.begin(), chunk.end()};
}

// Found by fuzzing: when the chunk's two states disagree the controller's
// values reach the processor, but only with the next block, so a chunk
// saved before playing differed from one saved after it; and a Speed
// beyond 1 was saved unclamped beside the controller's 1.
TEST_F(Vst2Effect, AChunkWhoseStatesDisagreeSavesWhatItPlays)
{
    const auto odd = chunkOf(R"({"bypass":0,"speed":5,"ratio":0.25,"target":0.5})",
                             R"({"bypass":1,"speed":1,"ratio":0.25,"target":0.75})");
    ASSERT_EQ(host.restore(odd), 1);
    const std::vector<std::uint8_t> saved = host.chunk();
    EXPECT_FLOAT_EQ(get(Bypass), 1.0f);
    EXPECT_FLOAT_EQ(get(Target), 0.75f);
    host.resume();
    processBlocks(2);
    host.suspend();
    const std::vector<std::uint8_t> afterPlaying = host.chunk();
    EXPECT_EQ(std::string(afterPlaying.begin(), afterPlaying.end()), std::string(saved.begin(), saved.end()));

    host::Vst2Host other{TARVEL_MODULE_PATH};
    ASSERT_NE(other.open(), nullptr);
    ASSERT_EQ(other.restore(saved), 1);
    EXPECT_EQ(other.chunk(), saved);
}

// Values a host sets while the effect is suspended are in the chunk it saves
// next, processor part included.
TEST_F(Vst2Effect, ValuesSetWhileSuspendedAreInTheNextChunk)
{
    set(Ratio, 0.125f);
    const std::vector<std::uint8_t> saved = host.chunk();
    const std::string text(saved.begin(), saved.end());
    const auto first = text.find("\"ratio\":0.125");
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_NE(text.find("\"ratio\":0.125", first + 1), std::string::npos) << text;
}

TEST_F(Vst2Effect, ASpeedChangeReachesTheHostAtItsNextUserInterfaceCall)
{
    host.resume(48000.0f, 512);
    const VstInt32 slow = effect().initialDelay;
    EXPECT_NEAR(slow, 5926, 2);
    host.clearCalls();
    // As from the host's audio thread: recorded, read back, nothing more.
    set(Speed, 0.0f);
    EXPECT_EQ(get(Speed), 0.0f);
    EXPECT_TRUE(host.allCalls().empty());
    EXPECT_EQ(effect().initialDelay, slow);
    host.dispatch(effEditIdle);
    ASSERT_EQ(host.callsOf(audioMasterIOChanged).size(), 1u);
    const VstInt32 fast = effect().initialDelay;
    EXPECT_LT(fast, slow / 5);
    EXPECT_GT(fast, 0);
    // A host that restarts the effect then runs the fast detector.
    host.suspend();
    host.resume(48000.0f, 512);
    EXPECT_EQ(effect().initialDelay, fast);
    processBlocks(1);
    // A suspend is a user-interface call too.
    host.clearCalls();
    set(Speed, 1.0f);
    host.suspend();
    EXPECT_EQ(host.callsOf(audioMasterIOChanged).size(), 1u);
    EXPECT_EQ(effect().initialDelay, slow);
    host.resume(48000.0f, 512);
    EXPECT_EQ(effect().initialDelay, slow);
}

// Many hosts never suspend the effect on audioMasterIOChanged while playing:
// the running effect's delay must still be the latency it reports.
TEST_F(Vst2Effect, WithoutASuspendTheDelayFollowsSpeedBothWays)
{
    set(Ratio, 0.0f);
    set(Speed, 0.0f);
    host.resume(48000.0f, 512);
    EXPECT_NEAR(effect().initialDelay, 592, 2);
    host.clearCalls();
    for (const float speed : {1.0f, 0.0f, 1.0f}) {
        processBlocks(40);
        set(Speed, speed);
        host.dispatch(effEditIdle);
        const VstInt32 reported = effect().initialDelay;
        EXPECT_NEAR(reported, speed > 0.5f ? 5926 : 592, 2);
        EXPECT_EQ(impulseDelay(), std::ptrdiff_t{reported}) << "Speed " << speed;
    }
    EXPECT_EQ(host.callsOf(audioMasterIOChanged).size(), 3u);
}

TEST_F(Vst2Effect, ProgramNameIsKeptAndBounded)
{
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
    char name[] = "A program name longer than twenty-four";
    host.dispatch(effSetProgramName, 0, 0, name);
    const std::string stored = host.text(effGetProgramName);
    EXPECT_EQ(stored, std::string(name).substr(0, kVstMaxProgNameLen - 1));
    char indexed[64];
    EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, 0, 0, indexed), 1);
    EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, 1, 0, indexed), 0);
}

} // namespace
} // namespace tarvel::test
