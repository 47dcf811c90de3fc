// Cost of a Speed change's message handling in the processor: the "Speed
// changed" message from the controller, the latency it recomputes and the
// latency message it sends back. Runs on the host's user-interface thread,
// so the figure to watch is how long it holds that thread.

#include <benchmark/benchmark.h>

#include <memory>

#include "processor/messages.h"
#include "processor/processor.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

namespace tarvel {
namespace {

using namespace Steinberg;

// A processor as a host has it after setupProcessing at sampleRate.
IPtr<Processor> preparedProcessor(Vst::HostApplication& host, double sampleRate)
{
    auto processor = owned(new Processor());
    processor->initialize(&host);
    Vst::ProcessSetup setup{Vst::kRealtime, Vst::kSample32, 512, sampleRate};
    processor->setupProcessing(setup);
    return processor;
}

IPtr<Vst::IMessage> speedMessage(double speed)
{
    auto message = owned(new Vst::HostMessage());
    message->setMessageID(messages::speedChanged);
    message->getAttributes()->setFloat(messages::speedValue, speed);
    return message;
}

// The user flipping Speed back and forth at a rate already seen.
void SpeedChange(benchmark::State& state)
{
    Vst::HostApplication host;
    IPtr<Processor> processor = preparedProcessor(host, static_cast<double>(state.range(0)));
    const IPtr<Vst::IMessage> changes[2] = {speedMessage(0.0), speedMessage(1.0)};
    int next = 0;
    for (auto _ : state) {
        processor->notify(changes[next]);
        next ^= 1;
    }
    benchmark::DoNotOptimize(processor->getLatencySamples());
    processor->terminate();
}

// The first change after the host set a new sample rate: both detector
// delays of the rate are searched then.
void FirstSpeedChangeAtARate(benchmark::State& state)
{
    Vst::HostApplication host;
    const IPtr<Vst::IMessage> message = speedMessage(0.0);
    for (auto _ : state) {
        state.PauseTiming();
        IPtr<Processor> processor = preparedProcessor(host, static_cast<double>(state.range(0)));
        state.ResumeTiming();
        processor->notify(message);
        state.PauseTiming();
        benchmark::DoNotOptimize(processor->getLatencySamples());
        processor->terminate();
        processor = nullptr;
        state.ResumeTiming();
    }
}

BENCHMARK(SpeedChange)->Arg(48000)->Arg(192000)->Unit(benchmark::kMicrosecond);
BENCHMARK(FirstSpeedChangeAtARate)->Arg(48000)->Arg(192000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarvel

BENCHMARK_MAIN();
