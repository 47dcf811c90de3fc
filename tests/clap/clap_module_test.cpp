// The built module as a CLAP host sees it: loaded as Tarvel64.clap, entered
// through clap_entry, driven only through the plug-in record and its
// extensions.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "support/allocation_counter.h"
#include "tools/host/clap_plugin_host.h"
#include "tools/host/plugin_instance.h"
#include "tools/host/vst2_effect_host.h"

namespace tarvel::test {
namespace {

using namespace clap;
using host::ClapParamEvent;
using host::ClapPluginHost;

constexpr clap_id Bypass = 0, Speed = 1, Ratio = 2, StereoRatio = 3, Target = 4;

std::vector<std::string> features(const clap_plugin_descriptor_t& descriptor)
{
    std::vector<std::string> all;
    for (const char* const* feature = descriptor.features; feature && *feature; ++feature)
        all.emplace_back(*feature);
    return all;
}

TEST(ClapEntry, ExportsTheEntryAndDescribesOnePlugin)
{
    ClapPluginHost host(TARVEL_CLAP_PATH);
    EXPECT_EQ(host.entry().clap_version.major, 1u);
    EXPECT_EQ(host.entry().get_factory("no.such-factory"), nullptr);
    EXPECT_EQ(host.factory().get_plugin_count(&host.factory()), 1u);
    EXPECT_EQ(host.factory().get_plugin_descriptor(&host.factory(), 1), nullptr);
    const clap_plugin_descriptor_t& descriptor = host.descriptor();
    EXPECT_STREQ(descriptor.id, "audio.vantle.tarvel");
    EXPECT_STREQ(descriptor.name, "Tarvel");
    EXPECT_STREQ(descriptor.vendor, "Vantle Audio");
    EXPECT_STREQ(descriptor.version, "1.1.4");
    EXPECT_STREQ(descriptor.url, "https://vantle.audio");
    EXPECT_EQ(features(descriptor), (std::vector<std::string>{"audio-effect", "compressor", "stereo", "mono"}));
    // Another id creates nothing.
    clap_host_t bare{};
    bare.clap_version = CLAP_VERSION;
    EXPECT_EQ(host.factory().create_plugin(&host.factory(), &bare, "audio.vantle.other"), nullptr);
    // Extensions the plug-in does not offer.
    EXPECT_EQ(host.plugin().get_extension(&host.plugin(), "clap.render"), nullptr);
    EXPECT_EQ(host.plugin().get_extension(&host.plugin(), "clap.note-ports"), nullptr);
    EXPECT_EQ(host.plugin().get_extension(&host.plugin(), nullptr), nullptr);
}

TEST(ClapEntry, InitAndDeinitPairNestAndTheFactoryLivesBetween)
{
    ClapPluginHost host(TARVEL_CLAP_PATH);
    const clap_plugin_entry_t& entry = host.entry();
    // A second pair inside the host's: the factory stays.
    ASSERT_TRUE(entry.init(TARVEL_CLAP_PATH));
    entry.deinit();
    EXPECT_NE(entry.get_factory(CLAP_PLUGIN_FACTORY_ID), nullptr);
    EXPECT_NEAR(host.value(Ratio), 0.5, 1e-6);
}

class ClapPlugin : public testing::Test {
protected:
    ClapPluginHost host{TARVEL_CLAP_PATH};
};

TEST_F(ClapPlugin, AudioPortsAreOneMainStereoPairOrMonoWhenSelected)
{
    const auto* ports = host.extension<clap_plugin_audio_ports_t>(CLAP_EXT_AUDIO_PORTS);
    const auto* configs = host.extension<clap_plugin_audio_ports_config_t>(CLAP_EXT_AUDIO_PORTS_CONFIG);
    ASSERT_TRUE(ports && configs);
    for (bool input : {true, false}) {
        ASSERT_EQ(ports->count(&host.plugin(), input), 1u);
        clap_audio_port_info_t info{};
        ASSERT_TRUE(ports->get(&host.plugin(), 0, input, &info));
        EXPECT_EQ(info.channel_count, 2u);
        EXPECT_STREQ(info.port_type, CLAP_PORT_STEREO);
        EXPECT_EQ(info.flags, CLAP_AUDIO_PORT_IS_MAIN | CLAP_AUDIO_PORT_SUPPORTS_64BITS);
        EXPECT_EQ(info.in_place_pair, 0u);
        EXPECT_FALSE(ports->get(&host.plugin(), 1, input, &info));
    }
    ASSERT_EQ(configs->count(&host.plugin()), 2u);
    clap_audio_ports_config_t mono{};
    ASSERT_TRUE(configs->get(&host.plugin(), 1, &mono));
    EXPECT_EQ(mono.main_input_channel_count, 1u);
    EXPECT_STREQ(mono.main_output_port_type, CLAP_PORT_MONO);
    EXPECT_FALSE(configs->select(&host.plugin(), 7));
    ASSERT_TRUE(configs->select(&host.plugin(), mono.id));
    clap_audio_port_info_t info{};
    ASSERT_TRUE(ports->get(&host.plugin(), 0, false, &info));
    EXPECT_EQ(info.channel_count, 1u);
    // Mono processing works, and no configuration changes while active.
    ASSERT_TRUE(host.activate(48000.0, 1, 256));
    EXPECT_FALSE(configs->select(&host.plugin(), 0));
    std::vector<float> signal(256, 0.25f), out(256, 9.0f);
    float* in[1] = {signal.data()};
    float* outs[1] = {out.data()};
    EXPECT_EQ(host.process(in, outs, 1, 256), CLAP_PROCESS_CONTINUE);
    EXPECT_NE(out[0], 9.0f);
}

TEST_F(ClapPlugin, ParametersCarryTheVst3IdsFlagsAndNormalisedRanges)
{
    const clap_plugin_params_t& params = host.params();
    ASSERT_EQ(params.count(&host.plugin()), 5u);
    const char* names[] = {"Bypass", "Speed", "Ratio", "Stereo Ratio", "Target"};
    const double defaults[] = {0.0, 1.0, 0.5, 0.0, 0.5};
    for (std::uint32_t i = 0; i < 5; ++i) {
        clap_param_info_t info{};
        ASSERT_TRUE(params.get_info(&host.plugin(), i, &info));
        EXPECT_EQ(info.id, i);
        EXPECT_STREQ(info.name, names[i]);
        EXPECT_EQ(info.min_value, 0.0);
        EXPECT_EQ(info.max_value, 1.0);
        // As the VST 3 side declares them: Speed changes the latency, so
        // it is not offered for automation.
        EXPECT_EQ((info.flags & CLAP_PARAM_IS_AUTOMATABLE) != 0, i != Speed) << i;
        const bool stepped = i == Bypass || i == Speed;
        EXPECT_EQ((info.flags & CLAP_PARAM_IS_STEPPED) != 0, stepped) << i;
        EXPECT_EQ((info.flags & CLAP_PARAM_IS_BYPASS) != 0, i == Bypass) << i;
        EXPECT_NEAR(info.default_value, defaults[i], 1e-6) << i;
        EXPECT_NEAR(host.value(i), defaults[i], 1e-6) << i;
    }
    clap_param_info_t info{};
    EXPECT_FALSE(params.get_info(&host.plugin(), 5, &info));
    double value = 0.0;
    EXPECT_FALSE(params.get_value(&host.plugin(), 99, &value));
}

TEST_F(ClapPlugin, TextsAreTheVst3DisplayTextsBothWays)
{
    EXPECT_EQ(host.text(Bypass, 0.0), "Off");
    EXPECT_EQ(host.text(Bypass, 1.0), "On");
    EXPECT_EQ(host.text(Speed, 0.0), "Fast");
    EXPECT_EQ(host.text(Speed, 1.0), "Slow");
    EXPECT_EQ(host.text(Ratio, 0.5), "2.00");
    EXPECT_EQ(host.text(StereoRatio, 0.0), "1.00");
    EXPECT_EQ(host.text(Target, 0.5), "-20.00 LUFS");
    EXPECT_EQ(host.text(Target, 1.0), "0.00 LUFS");
    const clap_plugin_params_t& params = host.params();
    double value = -1.0;
    ASSERT_TRUE(params.text_to_value(&host.plugin(), Target, "-20.00 LUFS", &value));
    EXPECT_NEAR(value, 0.5, 1e-6);
    ASSERT_TRUE(params.text_to_value(&host.plugin(), Target, "0", &value));
    EXPECT_NEAR(value, 1.0, 1e-6);
    ASSERT_TRUE(params.text_to_value(&host.plugin(), Speed, "Fast", &value));
    EXPECT_EQ(value, 0.0);
    ASSERT_TRUE(params.text_to_value(&host.plugin(), Bypass, "On", &value));
    EXPECT_EQ(value, 1.0);
    // A number on a continuous parameter reads back as the same text.
    ASSERT_TRUE(params.text_to_value(&host.plugin(), Ratio, "3.00", &value));
    EXPECT_EQ(host.text(Ratio, value), "3.00");
    ASSERT_TRUE(params.text_to_value(&host.plugin(), Target, "-7.25 LUFS", &value));
    EXPECT_EQ(host.text(Target, value), "-7.25 LUFS");
    EXPECT_FALSE(params.text_to_value(&host.plugin(), Target, "loud", &value));
    EXPECT_FALSE(params.text_to_value(&host.plugin(), Speed, "Medium", &value));
    EXPECT_FALSE(params.text_to_value(&host.plugin(), 42, "1", &value));
    char small[4];
    ASSERT_TRUE(params.value_to_text(&host.plugin(), Target, 0.5, small, sizeof small));
    EXPECT_EQ(std::strlen(small), 3u) << "cut to the buffer";
    EXPECT_FALSE(params.value_to_text(&host.plugin(), 42, 0.5, small, sizeof small));
}

TEST_F(ClapPlugin, FlushWhileInactiveSetsValuesThatProcessingStartsFrom)
{
    host.flush({{0, Ratio, 0.8}, {0, Speed, 0.0}, {0, 77, 1.0}});
    EXPECT_NEAR(host.value(Ratio), 0.8, 1e-9);
    EXPECT_EQ(host.value(Speed), 0.0);
    const auto* latency = host.extension<clap_plugin_latency_t>(CLAP_EXT_LATENCY);
    ASSERT_NE(latency, nullptr);
    ASSERT_TRUE(host.activate(48000.0, 1, 512));
    // Fast from the start: the short detector, no restart needed.
    EXPECT_LT(latency->get(&host.plugin()), 1000u);
    EXPECT_GT(latency->get(&host.plugin()), 0u);
    EXPECT_EQ(host.restartRequests.load(), 0);
    host.runTimers();
    EXPECT_EQ(host.text(Ratio, host.value(Ratio)), host.text(Ratio, 0.8));
}

TEST_F(ClapPlugin, ASpeedChangeWhileActiveAsksForARestartAndReportsTheNewLatency)
{
    const auto* latency = host.extension<clap_plugin_latency_t>(CLAP_EXT_LATENCY);
    ASSERT_TRUE(host.activate(48000.0, 1, 512));
    const std::uint32_t slow = latency->get(&host.plugin());
    const int changesBefore = host.latencyChanges.load();
    std::vector<float> left(512, 0.1f), right(512, 0.1f);
    float* channels[2] = {left.data(), right.data()};
    ASSERT_EQ(host.process(channels, channels, 2, 512, {{100, Speed, 0.0}}), CLAP_PROCESS_CONTINUE);
    EXPECT_EQ(host.restartRequests.load(), 0) << "never from the audio thread";
    ASSERT_GE(host.timerCount(), 1u);
    host.runTimers();
    EXPECT_EQ(host.restartRequests.load(), 1);
    host.deactivate();
    ASSERT_TRUE(host.activate(48000.0, 1, 512));
    const std::uint32_t fast = latency->get(&host.plugin());
    EXPECT_LT(fast, slow);
    EXPECT_NEAR(static_cast<double>(slow) / fast, 10.0, 1.0);
    EXPECT_EQ(host.latencyChanges.load(), changesBefore + 1);
}

TEST_F(ClapPlugin, ActivatesAtCommonRatesAndOddBlockSizes)
{
    const auto* latency = host.extension<clap_plugin_latency_t>(CLAP_EXT_LATENCY);
    std::uint32_t previous = 0;
    for (double rate : {44100.0, 48000.0, 96000.0, 192000.0}) {
        for (std::uint32_t block : {1u, 13u, 333u, 4097u}) {
            ASSERT_TRUE(host.activate(rate, 1, block)) << rate << " " << block;
            std::vector<double> left(block, 0.3), right(block, -0.3);
            double* channels[2] = {left.data(), right.data()};
            for (int i = 0; i < 3; ++i)
                ASSERT_EQ(host.process(channels, channels, 2, block), CLAP_PROCESS_CONTINUE);
            for (double sample : left)
                ASSERT_TRUE(std::isfinite(sample));
            host.deactivate();
        }
        host.activate(rate, 1, 64);
        const std::uint32_t now = latency->get(&host.plugin());
        EXPECT_GT(now, previous) << "the delay grows with the rate";
        previous = now;
        host.deactivate();
    }
    EXPECT_FALSE(host.plugin().activate(&host.plugin(), 0.0, 1, 64));
    EXPECT_FALSE(host.plugin().activate(&host.plugin(), 48000.0, 1, 0));
    EXPECT_FALSE(host.plugin().activate(&host.plugin(), 1.0e9, 1, 64));
}

TEST_F(ClapPlugin, ProcessingWithEventsAllocatesNothingAndCallsNoHostFunction)
{
    ASSERT_TRUE(host.activate(48000.0, 1, 512));
    std::vector<float> left(512, 0.2f), right(512, -0.3f);
    float* channels[2] = {left.data(), right.data()};
    host.process(channels, channels, 2, 512);
    const std::vector<ClapParamEvent> events = {
        {0, Ratio, 0.7}, {100, Target, 0.2}, {101, Target, 0.3}, {300, Speed, 0.0}, {511, Bypass, 1.0}};
    host.output().clear();
    {
        // The counter sees what the module allocates, or this test could
        // not fail: checked by the allocation below.
        AllocationCounter counter;
        for (int i = 0; i < 20; ++i)
            ASSERT_EQ(host.process(channels, channels, 2, 512, events), CLAP_PROCESS_CONTINUE);
        EXPECT_EQ(counter.allocations(), 0u);
        EXPECT_EQ(counter.deallocations(), 0u);
    }
    EXPECT_EQ(host.callsDuringProcess.load(), 0);
    std::vector<std::uint8_t> state;
    ASSERT_TRUE(host.save(state));
    {
        // Loading allocates in the module only: the host's stream copies
        // into the module's buffer.
        AllocationCounter counter;
        ASSERT_TRUE(host.load(state));
        EXPECT_GT(counter.allocations(), 0u) << "the counter must see the module's allocations";
    }
}

TEST_F(ClapPlugin, HostValuesAreNotEchoedBackAsEdits)
{
    host.flush({{0, Ratio, 0.25}});
    host.output().clear();
    host.flush();
    EXPECT_TRUE(host.output().empty()) << "host values are not echoed";
}

TEST_F(ClapPlugin, StateRoundTripsAndLoadsIntoAFreshInstance)
{
    host.flush({{0, Ratio, 0.9}, {0, Target, 0.25}, {0, Speed, 0.0}});
    std::vector<std::uint8_t> saved;
    ASSERT_TRUE(host.save(saved, 7)) << "in seven-byte writes";
    const host::ClapStateParts parts = host::splitClapState(saved);
    EXPECT_FALSE(parts.processor.empty());
    EXPECT_FALSE(parts.controller.empty());
    // The processor's state: a length word and JSON with the five values.
    const std::string json(parts.processor.begin() + 4, parts.processor.end());
    EXPECT_NE(json.find('{'), std::string::npos);

    ClapPluginHost other(TARVEL_CLAP_PATH);
    const int rescans = other.rescans.load();
    ASSERT_TRUE(other.load(saved, 5)) << "in five-byte reads";
    EXPECT_GT(other.rescans.load(), rescans);
    EXPECT_NEAR(other.value(Ratio), 0.9, 1e-6);
    EXPECT_NEAR(other.value(Target), 0.25, 1e-6);
    EXPECT_EQ(other.value(Speed), 0.0);
    std::vector<std::uint8_t> again;
    ASSERT_TRUE(other.save(again));
    EXPECT_EQ(again, saved);
}

TEST_F(ClapPlugin, BadStateIsRefusedAndChangesNothing)
{
    host.flush({{0, Ratio, 0.75}});
    std::vector<std::uint8_t> before;
    ASSERT_TRUE(host.save(before));
    std::vector<std::vector<std::uint8_t>> bad = {
        {},
        {'V', '3', 'C', 'S'},
        std::vector<std::uint8_t>(before.begin(), before.end() - 1),
        std::vector<std::uint8_t>(before.begin(), before.begin() + static_cast<std::ptrdiff_t>(before.size() / 2)),
        std::vector<std::uint8_t>(300, 0xAB),
    };
    // A well-formed container around a processor state that is not JSON.
    bad.push_back(host::joinClapState({{9, 0, 0, 0, 'n', 'o', 't', ' ', 'j', 's', 'o', 'n', '!'}, {}}));
    std::vector<std::uint8_t> longer = before;
    longer.push_back(0);
    bad.push_back(longer);
    for (std::size_t i = 0; i < bad.size(); ++i) {
        EXPECT_FALSE(host.load(bad[i])) << "case " << i;
        std::vector<std::uint8_t> after;
        ASSERT_TRUE(host.save(after));
        EXPECT_EQ(after, before) << "case " << i;
        EXPECT_NEAR(host.value(Ratio), 0.75, 1e-9) << "case " << i;
    }
    // A stream that fails midway.
    const auto* state = host.extension<clap_plugin_state_t>(CLAP_EXT_STATE);
    const clap_istream_t failing{nullptr, [](const clap_istream_t*, void*, std::uint64_t) -> std::int64_t { return -1; }};
    EXPECT_FALSE(state->load(&host.plugin(), &failing));
    const clap_ostream_t full{nullptr, [](const clap_ostream_t*, const void*, std::uint64_t) -> std::int64_t { return 0; }};
    EXPECT_FALSE(state->save(&host.plugin(), &full));
    EXPECT_FALSE(state->load(&host.plugin(), nullptr));
}

// A VST 3 state: its length word and JSON text.
std::vector<std::uint8_t> vst3State(const std::string& json)
{
    std::string framed(4, '\0');
    for (std::size_t i = 0; i < 4; ++i)
        framed[i] = static_cast<char>(json.size() >> (8 * i));
    framed += json;
    return {framed.begin(), framed.end()};
}

// Found by fuzzing: a Speed beyond 1 in the processor's part (the
// controller's part unreadable) saved as 5 beside the controller's 1, and
// loading that made the processor take 1, so the state changed on every
// load and save until it settled.
TEST_F(ClapPlugin, AStateWithAValueOutOfRangeSavesBytesThatLoadAsTheyWere)
{
    const std::vector<std::uint8_t> odd = host::joinClapState(
        {vst3State(R"({"bypass":0,"speed":5,"ratio":0.25,"stereoRatio":-3,"target":0.5})"),
         vst3State(R"({"ratio":oops})")});
    ASSERT_TRUE(host.load(odd));
    std::vector<std::uint8_t> saved;
    ASSERT_TRUE(host.save(saved));
    EXPECT_EQ(host.value(Speed), 1.0);
    EXPECT_EQ(host.value(StereoRatio), 0.0);

    ClapPluginHost other(TARVEL_CLAP_PATH);
    ASSERT_TRUE(other.load(saved));
    std::vector<std::uint8_t> again;
    ASSERT_TRUE(other.save(again));
    EXPECT_EQ(std::string(again.begin(), again.end()), std::string(saved.begin(), saved.end()));
}

TEST_F(ClapPlugin, StateMovesBetweenClapVst3AndVst2)
{
    host.flush({{0, Ratio, 0.3}, {0, StereoRatio, 0.6}, {0, Target, 0.8}, {0, Bypass, 1.0}});
    std::vector<std::uint8_t> fromClap;
    ASSERT_TRUE(host.save(fromClap));
    const host::ClapStateParts parts = host::splitClapState(fromClap);

    // Into VST 3: the processor's part and the controller's part.
    host::PluginModule module(TARVEL_MODULE_PATH);
    {
        host::PluginInstance vst3(module);
        ASSERT_EQ(vst3.restoreProcessorState(parts.processor), Steinberg::kResultOk);
        ASSERT_EQ(vst3.restoreControllerState(parts.controller), Steinberg::kResultOk);
        EXPECT_NEAR(vst3.controller()->getParamNormalized(Ratio), 0.3, 1e-6);
        EXPECT_NEAR(vst3.controller()->getParamNormalized(Target), 0.8, 1e-6);
        EXPECT_EQ(vst3.processorState(), parts.processor);
        EXPECT_EQ(vst3.controllerState(), parts.controller);
    }
    // Into VST 2: the same bytes are its chunk.
    {
        host::Vst2EffectHost vst2(TARVEL_MODULE_PATH);
        vst2.restoreProcessorState(parts.processor);
        EXPECT_NEAR(vst2.parameter(StereoRatio), 0.6, 1e-6);
        EXPECT_EQ(vst2.processorState(), parts.processor);
    }
    // And back: a VST 3 state into CLAP.
    {
        host::PluginInstance vst3(module);
        ASSERT_EQ(vst3.restoreProcessorState(parts.processor), Steinberg::kResultOk);
        vst3.controller()->setParamNormalized(Ratio, 0.1);
        ClapPluginHost fresh(TARVEL_CLAP_PATH);
        ASSERT_TRUE(fresh.load(host::joinClapState({vst3.processorState(), vst3.controllerState()})));
        EXPECT_NEAR(fresh.value(Target), 0.8, 1e-6);
        EXPECT_EQ(fresh.value(Bypass), 1.0);
    }
}

} // namespace
} // namespace tarvel::test
