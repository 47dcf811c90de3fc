#include "host_session.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>

#include "allocation_watch.h"
#include "fuzz_choices.h"
#include "fuzz_failure.h"
#include "in_process_module.h"
#include "support/allocation_counter.h"

namespace tarvel::fuzz {

using namespace Steinberg;

namespace {

// TARVEL_FUZZ_TRACE=1 says what each step did, to read a finding's input.
const bool tracing = std::getenv("TARVEL_FUZZ_TRACE") != nullptr;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// The rates hosts run at, the extremes the processor accepts, and a few it
// must refuse.
constexpr std::array<double, 12> acceptedRates{1000.0,  8000.0,  22050.0,  32000.0,  44100.0,  48000.0,
                                               88200.0, 96000.0, 176400.0, 192000.0, 384000.0, 12345.678};
constexpr std::array<double, 5> refusedRates{0.0, -48000.0, 999.0, nan, infinity};
constexpr std::array<int32, 9> blockSizes{1, 2, 31, 64, 128, 256, 512, 1024, 4096};

constexpr std::array<Vst::SpeakerArrangement, 8> arrangements{
    Vst::SpeakerArr::kMono, Vst::SpeakerArr::kStereo, Vst::SpeakerArr::k51, Vst::SpeakerArr::k71Cine,
    Vst::SpeakerArr::kEmpty, Vst::SpeakerArr::k30Cine, ~Vst::SpeakerArrangement(0), Vst::SpeakerArr::kAmbi1stOrderACN};

int32 channelsOf(Vst::SpeakerArrangement arrangement)
{
    return static_cast<int32>(std::popcount(static_cast<std::uint64_t>(arrangement)));
}

// Longer than any delay the engine has: the reported latency must stay
// below this.
double longestPlausibleLatency(double sampleRate) { return sampleRate * 10.0; }

} // namespace

HostSession::HostSession() : plugin(inProcessModule()) { watchAllAllocations(); }

HostSession::~HostSession()
{
    // As a host closes a project: processing stops before the instance goes.
    if (active) {
        plugin.processor()->setProcessing(false);
        plugin.component()->setActive(false);
    }
}

void HostSession::setupProcessing(FuzzedDataProvider& in)
{
    Vst::ProcessSetup next = setup;
    const bool refused = in.ConsumeIntegralInRange<int>(0, 15) == 0;
    next.sampleRate = refused ? in.PickValueInArray(refusedRates) : in.PickValueInArray(acceptedRates);
    next.maxSamplesPerBlock =
        in.ConsumeBool() ? in.PickValueInArray(blockSizes) : in.ConsumeIntegralInRange<int32>(1, 8192);
    next.symbolicSampleSize = in.ConsumeBool() ? Vst::kSample32 : Vst::kSample64;
    next.processMode = in.ConsumeIntegralInRange<int32>(Vst::kRealtime, Vst::kOffline);
    const tresult result = plugin.processor()->setupProcessing(next);
    if (tracing)
        std::fprintf(stderr, "tarvel fuzz: setupProcessing %g Hz, %d frames, %d bit: %d\n", next.sampleRate,
                     int(next.maxSamplesPerBlock), next.symbolicSampleSize == Vst::kSample64 ? 64 : 32, int(result));
    if (refused) {
        require(result != kResultOk, "a sample rate the processor cannot run at was accepted", next.sampleRate);
        return;
    }
    if (result != kResultOk)
        return;
    setup = next;
    setUp = true;
    engineChannels = busChannels;
}

void HostSession::setBusArrangements(FuzzedDataProvider& in)
{
    Vst::SpeakerArrangement inputs[2] = {in.PickValueInArray(arrangements), in.PickValueInArray(arrangements)};
    Vst::SpeakerArrangement outputs[2] = {in.ConsumeBool() ? inputs[0] : in.PickValueInArray(arrangements),
                                          in.PickValueInArray(arrangements)};
    const int32 inputCount = in.ConsumeIntegralInRange<int32>(0, 2);
    const int32 outputCount = in.ConsumeIntegralInRange<int32>(0, 2);
    const tresult result = plugin.processor()->setBusArrangements(inputs, inputCount, outputs, outputCount);
    if (tracing)
        std::fprintf(stderr, "tarvel fuzz: setBusArrangements %d of %d channels, %d of %d: %d\n", int(inputCount),
                     int(channelsOf(inputs[0])), int(outputCount), int(channelsOf(outputs[0])), int(result));
    if (result == kResultTrue) {
        Vst::SpeakerArrangement now = 0;
        if (plugin.processor()->getBusArrangement(Vst::kOutput, 0, now) == kResultTrue)
            busChannels = channelsOf(now);
    }
}

void HostSession::setActive(FuzzedDataProvider& in)
{
    const bool state = in.ConsumeBool();
    const tresult result = plugin.component()->setActive(state);
    if (tracing)
        std::fprintf(stderr, "tarvel fuzz: setActive %d: %d, latency %u\n", int(state), int(result),
                     unsigned(plugin.processor()->getLatencySamples()));
    if (result == kResultOk)
        active = state;
}

void HostSession::setProcessing(FuzzedDataProvider& in) { plugin.processor()->setProcessing(in.ConsumeBool()); }

template <typename Sample>
tresult HostSession::runBlock(ChannelBuffers<Sample>& buffers, int32 channels, int32 frames,
                              Vst::IParameterChanges* blockChanges)
{
    Vst::ProcessData& data = block.assemble(buffers.inputs.data(), buffers.outputs.data(), channels, frames,
                                            setup.processMode);
    data.inputParameterChanges = blockChanges;
    tresult result = kResultFalse;
    std::size_t allocations = 0;
    {
        test::AllocationCounter counter;
        result = plugin.processor()->process(data);
        allocations = counter.allocations();
    }
    require(allocations == 0, "process allocated", double(allocations));
    require(buffers.outputFinite(frames), "process wrote a sample that is not finite", double(frames));
    return result;
}

template <typename Sample>
void HostSession::fillInput(ChannelBuffers<Sample>& buffers, FuzzedDataProvider& in, int32 frames)
{
    const int kind = in.ConsumeIntegralInRange<int>(0, 5);
    const double level = kind == 4 ? 1e30 : in.ConsumeProbability<double>() * 4.0;
    std::uint32_t noise = in.ConsumeIntegral<std::uint32_t>() | 1u;
    for (auto& channel : buffers.input)
        for (int32 i = 0; i < frames; ++i) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const double white = double(noise) / 4294967295.0 * 2.0 - 1.0;
            double sample = 0.0;
            switch (kind) {
            case 0: break; // silence
            case 1: sample = level * white; break;
            case 2: sample = (i / 50) % 2 ? level : -level; break;
            case 3: sample = level * std::sin(0.05 * i); break;
            case 4: sample = level * white; break;
            default: sample = (noise % 97 == 0) ? (noise % 2 ? nan : -infinity) : white; break;
            }
            channel[static_cast<std::size_t>(i)] = static_cast<Sample>(sample);
        }
}

void HostSession::fillChanges(FuzzedDataProvider& in, int32 frames)
{
    changes.clear();
    const int queues = in.ConsumeIntegralInRange<int>(0, 4);
    for (int q = 0; q < queues; ++q) {
        const int pick = in.ConsumeIntegralInRange<int>(0, 7);
        const Vst::ParamID id = pick < 5 ? Vst::ParamID(pick) : pick == 5 ? 99u : in.ConsumeIntegral<Vst::ParamID>();
        const int points = in.ConsumeIntegralInRange<int>(1, 5);
        int32 offset = 0;
        for (int p = 0; p < points; ++p) {
            // Mostly in order and inside the block; sometimes neither.
            if (in.ConsumeIntegralInRange<int>(0, 5) == 0)
                offset = in.ConsumeIntegralInRange<int32>(-16, frames + 16);
            else
                offset = std::min(frames > 0 ? frames - 1 : 0, offset + in.ConsumeIntegralInRange<int32>(0, frames));
            const double value = anyNormalisedValue(in);
            if (tracing)
                std::fprintf(stderr, "tarvel fuzz: point %u at %d of %d: %g\n", unsigned(id), int(offset), int(frames),
                             value);
            changes.addPoint(id, offset, value);
        }
    }
}

void HostSession::mirrorChangesToController()
{
    // Where the block leaves each parameter, by the rule a processor reads a
    // queue with: in the order given, a point counts if its value is a
    // finite number and its offset is not before the block and after the
    // last point that counted; of several queues for one id, the last with
    // points decides. A host that sends such a queue shows that value.
    std::map<Vst::ParamID, std::optional<Vst::ParamValue>> last;
    for (int32 i = 0; i < changes.getParameterCount(); ++i) {
        Vst::IParamValueQueue* queue = changes.getParameterData(i);
        if (!queue || queue->getPointCount() <= 0)
            continue;
        std::optional<Vst::ParamValue> end;
        int32 previous = -1;
        for (int32 index = 0; index < queue->getPointCount(); ++index) {
            int32 offset = 0;
            Vst::ParamValue value = 0.0;
            if (queue->getPoint(index, offset, value) == kResultOk && std::isfinite(value) && offset >= 0 &&
                offset > previous) {
                previous = offset;
                end = value;
            }
        }
        last[queue->getParameterId()] = end;
    }
    for (const auto& [id, value] : last)
        if (value)
            plugin.controller()->setParamNormalized(id, *value);
}

void HostSession::process(FuzzedDataProvider& in)
{
    const int32 frames = in.ConsumeIntegralInRange<int32>(0, std::max(setup.maxSamplesPerBlock, 1));
    const int32 channels = in.ConsumeBool() ? busChannels : in.ConsumeIntegralInRange<int32>(0, 8);
    fillChanges(in, frames);
    Vst::IParameterChanges* given = in.ConsumeIntegralInRange<int>(0, 7) == 0 ? nullptr : &changes;
    if (setup.symbolicSampleSize == Vst::kSample64) {
        buffers64.prepare(channels, frames);
        fillInput(buffers64, in, frames);
        runBlock(buffers64, channels, frames, given);
    } else {
        buffers32.prepare(channels, frames);
        fillInput(buffers32, in, frames);
        runBlock(buffers32, channels, frames, given);
    }
    if (tracing)
        std::fprintf(stderr, "tarvel fuzz: process %d frames, %d channels, latency now %u\n", int(frames),
                     int(channels), unsigned(plugin.processor()->getLatencySamples()));
    if (given)
        mirrorChangesToController();
    changes.clear();
}

void HostSession::flushParameters(FuzzedDataProvider& in)
{
    fillChanges(in, 0);
    Vst::ProcessData& data = block.assembleEmpty(setup.symbolicSampleSize, setup.processMode);
    data.inputParameterChanges = &changes;
    std::size_t allocations = 0;
    {
        test::AllocationCounter counter;
        plugin.processor()->process(data);
        allocations = counter.allocations();
    }
    require(allocations == 0, "process allocated while flushing parameters", double(allocations));
    mirrorChangesToController();
    changes.clear();
}

void HostSession::loadState(FuzzedDataProvider& in)
{
    host::Bytes state;
    switch (in.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
        state = savedState.value_or(plugin.processorState());
        break;
    case 1:
        state = savedState.value_or(plugin.processorState());
        for (int flips = in.ConsumeIntegralInRange<int>(1, 4); flips > 0 && !state.empty(); --flips)
            state[in.ConsumeIntegralInRange<std::size_t>(0, state.size() - 1)] = in.ConsumeIntegral<std::uint8_t>();
        if (!state.empty() && in.ConsumeBool())
            state.resize(in.ConsumeIntegralInRange<std::size_t>(0, state.size() - 1));
        break;
    default:
        state = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 300));
        break;
    }
    plugin.restoreProcessorState(state);
}

void HostSession::saveState() { savedState = plugin.processorState(); }

void HostSession::queryLatency()
{
    const double latency = plugin.processor()->getLatencySamples();
    require(latency < longestPlausibleLatency(setup.sampleRate), "the reported latency is absurd", latency);
}

void HostSession::editOnController(FuzzedDataProvider& in)
{
    const auto id = static_cast<Vst::ParamID>(in.ConsumeIntegralInRange<int>(0, 5));
    plugin.controller()->setParamNormalized(id, anyNormalisedValue(in));
}

void HostSession::probeLatency()
{
    // Only where the engine runs the arrangement it was built for.
    if (!setUp || !active || engineChannels <= 0 || busChannels != engineChannels)
        return;
    if (setup.symbolicSampleSize == Vst::kSample64)
        probeLatencyIn(buffers64);
    else
        probeLatencyIn(buffers32);
}

template <typename Sample>
void HostSession::probeLatencyIn(ChannelBuffers<Sample>& buffers)
{
    const double reported = plugin.processor()->getLatencySamples();
    require(reported < longestPlausibleLatency(setup.sampleRate), "the reported latency is absurd", reported);
    const auto latency = static_cast<int32>(reported);
    const int32 frames = setup.maxSamplesPerBlock;
    // Too many blocks to be worth an input's time.
    if ((3 * std::int64_t(latency)) / frames > 4000)
        return;
    buffers.prepare(engineChannels, frames);
    // Silence until whatever earlier blocks left in the delay lines is out
    // (while the parameters hold, the delay is at most the reported one if
    // the promise holds; a longer one shows up below as early output).
    for (std::int64_t done = 0; done < 2 * std::int64_t(latency) + frames; done += frames)
        runBlock(buffers, engineChannels, frames, nullptr);
    std::vector<double> response;
    response.reserve(std::size_t(latency) + std::size_t(2 * frames));
    for (auto& channel : buffers.input)
        channel[0] = Sample(0.5);
    while (response.size() <= std::size_t(latency)) {
        runBlock(buffers, engineChannels, frames, nullptr);
        for (int32 i = 0; i < frames; ++i)
            response.push_back(double(buffers.output[0][std::size_t(i)]));
        for (auto& channel : buffers.input)
            channel[0] = Sample(0);
    }
    const auto first = std::find_if(response.begin(), response.end(), [](double s) { return s != 0.0; });
    const double measured = first == response.end() ? -1.0 : double(first - response.begin());
    if (tracing || measured != reported)
        std::fprintf(stderr, "tarvel fuzz: reported latency %g, measured %g at %g Hz, %d channels\n", reported,
                     measured, setup.sampleRate, int(engineChannels));
    require(measured == reported, "the impulse came out later or earlier than the reported latency", measured);
}

} // namespace tarvel::fuzz
