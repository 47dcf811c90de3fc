#pragma once
// Generic VST 3 audio processor: buses, engine lifetime, state hand-over to
// the audio thread, activation messages and the audio callback. The product
// class supplies the engine, the state format and its own messages:
//
//   Engine makeEngine(const Config&)                building an engine
//   static std::optional<Params> readParameters(IBStream*)
//   static bool writeParameters(IBStream*, const Params&)
//   void onStateLoaded()                            after a successful setState
//   tresult handleMessage(IMessage*)                kNotImplemented if not its own
//   static void addBuses(Derived&)                  bus layout of initialize

#include <bit>
#include <cstdint>
#include <memory>
#include <optional>

#include "framework/host_boundary.h"
#include "framework/messages.h"
#include "platform/flush_to_zero.h"
#include "sdk/audio_effect.h"

namespace vantle::vst {

template <typename Derived, typename Params, typename ProcState, typename Engine>
class ProcessorBase : public Steinberg::Vst::AudioEffect {
public:
    using tresult = Steinberg::tresult;
    using int32 = Steinberg::int32;

    // Sample rates an engine can be built for; a host asking for anything
    // else is refused rather than given a degenerate detector.
    static constexpr double minSampleRate = 1000.0;
    static constexpr double maxSampleRate = 1000000.0;

    tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override
    {
        return guarded([&]() -> Steinberg::tresult {
            const tresult result = AudioEffect::initialize(context);
            if (result != Steinberg::kResultOk)
                return result;
            Derived::addBuses(self());
            return Steinberg::kResultOk;
        });
    }

    tresult PLUGIN_API setIoMode(Steinberg::Vst::IoMode) override { return Steinberg::kNotImplemented; }
    tresult PLUGIN_API getRoutingInfo(Steinberg::Vst::RoutingInfo&, Steinberg::Vst::RoutingInfo&) override
    {
        return Steinberg::kNotImplemented;
    }

    tresult PLUGIN_API setActive(Steinberg::TBool state) override
    {
        return guarded([&]() -> Steinberg::tresult {
            sendToPeer(*this, messages::processorActive,
                       [&](Steinberg::Vst::IAttributeList& a) { a.setInt(messages::processorActiveFlag, state ? 1 : 0); });
            return Steinberg::kResultOk;
        });
    }

    tresult PLUGIN_API setState(Steinberg::IBStream* stream) override
    {
        return guarded([&]() -> Steinberg::tresult {
            const std::optional<Params> loaded = Derived::readParameters(stream);
            if (!loaded)
                return Steinberg::kResultFalse;
            // Automation older than the loaded state must not replace it at
            // the next getState.
            if (engine)
                discardHostValues();
            parameters = *loaded;
            if (engine)
                engine->exchange().publish(parameters);
            self().onStateLoaded();
            return Steinberg::kResultOk;
        });
    }

    tresult PLUGIN_API getState(Steinberg::IBStream* stream) override
    {
        return guarded([&]() -> Steinberg::tresult {
            takeHostValues();
            return Derived::writeParameters(stream, parameters) ? Steinberg::kResultOk : Steinberg::kResultFalse;
        });
    }

    tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs, int32 numIns,
                                          Steinberg::Vst::SpeakerArrangement* outputs, int32 numOuts) override
    {
        return guarded([&]() -> Steinberg::tresult {
            if (numIns != 1 || numOuts != 1 || !inputs || !outputs || inputs[0] != outputs[0])
                return Steinberg::kResultFalse;
            // Wider than the engine runs: refused here, where the host can
            // still offer another, rather than every block failing later.
            if (std::popcount(static_cast<std::uint64_t>(inputs[0])) > Engine::maxChannels)
                return Steinberg::kResultFalse;
            return AudioEffect::setBusArrangements(inputs, numIns, outputs, numOuts);
        });
    }

    tresult PLUGIN_API canProcessSampleSize(int32 size) override
    {
        return size == Steinberg::Vst::kSample32 || size == Steinberg::Vst::kSample64 ? Steinberg::kResultOk
                                                                                       : Steinberg::kResultFalse;
    }

    Steinberg::uint32 PLUGIN_API getLatencySamples() override
    {
        return static_cast<Steinberg::uint32>(latencySamples);
    }

    tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override
    {
        return guarded([&]() -> Steinberg::tresult {
            if (!(setup.sampleRate >= minSampleRate && setup.sampleRate <= maxSampleRate))
                return Steinberg::kResultFalse;
            const tresult stored = AudioEffect::setupProcessing(setup);
            if (stored != Steinberg::kResultOk)
                return stored;
            const int32 channels = outputChannelCount();
            if (channels <= 0)
                return Steinberg::kResultFalse;
            takeHostValues();
            auto next = std::make_unique<Engine>(
                typename Derived::Config{static_cast<int32>(processSetup.sampleRate), channels, parameters});
            engine = std::move(next);
            latencySamples = engine->delaySamples();
            return Steinberg::kResultOk;
        });
    }

    tresult PLUGIN_API setProcessing(Steinberg::TBool) override { return Steinberg::kNotImplemented; }

    tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override
    {
        try {
            return processAudio(data);
        } catch (...) {
            return Steinberg::kResultFalse;
        }
    }

    tresult PLUGIN_API notify(Steinberg::Vst::IMessage* message) override
    {
        return guarded([&]() -> Steinberg::tresult {
            if (!message)
                return Steinberg::kInvalidArgument;
            const tresult handled = self().handleMessage(message);
            if (handled != Steinberg::kNotImplemented)
                return handled;
            return AudioEffect::notify(message);
        });
    }

protected:
    // Channel count of the output bus arrangement; 0 when it cannot be read.
    int32 outputChannelCount()
    {
        Steinberg::Vst::SpeakerArrangement arrangement = 0;
        if (getBusArrangement(Steinberg::Vst::kOutput, 0, arrangement) != Steinberg::kResultTrue)
            return 0;
        return static_cast<int32>(std::popcount(static_cast<std::uint64_t>(arrangement)));
    }

    // A value that reaches the processor other than through the host's
    // parameter queues (a host may drop an edit of a parameter it does not
    // automate, while the controller still tells the processor): the
    // processor makes it its own and, while processing, hands it to the
    // engine the way a loaded state is handed over, so what it saves,
    // processes and reports all follow one value. The newest automation
    // is taken first, so a value the host did pass on is not applied twice.
    void adoptValue(int32 id, float value)
    {
        takeHostValues();
        if (parameters[id] == value)
            return;
        parameters[id] = value;
        if (engine)
            engine->exchange().publish(parameters);
    }

    // The parameters with the host's newest automation taken in.
    const Params& currentParameters()
    {
        takeHostValues();
        return parameters;
    }

    Params parameters{};
    std::unique_ptr<Engine> engine;
    int32 latencySamples = 0;
    ProcState processorState{};

private:
    static constexpr int32 maxProcessChannels = 64;

    Derived& self() { return static_cast<Derived&>(*this); }

    void takeHostValues()
    {
        if (!engine)
            return;
        for (int32 id = 0; id < Params::count; ++id) {
            float value = 0.0f;
            if (engine->lastHostValue(id).take(value))
                parameters[id] = value;
        }
    }

    void discardHostValues()
    {
        for (int32 id = 0; id < Params::count; ++id) {
            float ignored = 0.0f;
            engine->lastHostValue(id).take(ignored);
        }
    }

    tresult processAudio(Steinberg::Vst::ProcessData& data) noexcept
    {
        if (!engine)
            return Steinberg::kResultFalse;
        platform::ScopedFlushToZero denormalsOff;
        // A block without audio to process still delivers its parameter
        // changes, and they apply at once: no sample would carry them
        // into the engine, while the values saved and reported already
        // include them.
        if (data.numSamples <= 0 || data.numInputs < 1 || data.numOutputs < 1 || !data.inputs || !data.outputs) {
            engine->beginBlockWithoutAudio(data);
            return Steinberg::kResultOk;
        }
        const Steinberg::Vst::AudioBusBuffers& in = data.inputs[0];
        const Steinberg::Vst::AudioBusBuffers& out = data.outputs[0];
        const int32 n = in.numChannels;
        if (n <= 0 || n > engine->config().channelCount) {
            engine->beginBlockWithoutAudio(data);
            return n <= 0 ? Steinberg::kResultOk : Steinberg::kResultFalse;
        }
        engine->beginBlock(data);
        if (data.symbolicSampleSize == Steinberg::Vst::kSample64)
            run(in.channelBuffers64, in.numChannels, out.channelBuffers64, out.numChannels, n, data.numSamples);
        else
            run(in.channelBuffers32, in.numChannels, out.channelBuffers32, out.numChannels, n, data.numSamples);
        return Steinberg::kResultOk;
    }

    // Hosts may hand over null buffer arrays or fewer output than input
    // channels; the engine sees null for every buffer the host did not give.
    template <typename Sample>
    void run(Sample** inputs, int32 inputCount, Sample** outputs, int32 outputCount, int32 n, int32 sampleCount) noexcept
    {
        const Sample* in[maxProcessChannels];
        Sample* out[maxProcessChannels];
        for (int32 c = 0; c < n; ++c) {
            in[c] = inputs && c < inputCount ? inputs[c] : nullptr;
            out[c] = outputs && c < outputCount ? outputs[c] : nullptr;
        }
        engine->processBlock(in, out, n, sampleCount);
    }
};

} // namespace vantle::vst
