// The processor's state as a host hands it over from a project or a preset
// file: setState with arbitrary bytes, then a few blocks of audio and
// getState. Whatever the bytes, nothing crashes and the audio stays finite;
// bytes that are refused leave the previous state as it was; a state that
// loads saves to bytes that load again and save to the very same bytes.

#include <array>
#include <cstddef>
#include <cstdint>

#include "fuzz/support/in_process_module.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "tools/host/process_block.h"

namespace {

using namespace Steinberg;
using tarvel::fuzz::Bytes;
using tarvel::fuzz::require;

constexpr int32 blockFrames = 160;
constexpr int blocks = 4;

// A loud and a quiet passage so the compressor moves; the same on every run.
template <typename Sample>
void fillInput(std::array<std::array<Sample, blockFrames>, 2>& input, int block)
{
    for (std::size_t channel = 0; channel < 2; ++channel)
        for (std::size_t i = 0; i < blockFrames; ++i) {
            const double level = block % 2 ? 0.9 : 0.01;
            const double phase = static_cast<double>(block * blockFrames + static_cast<int>(i)) * 0.05 +
                                 static_cast<double>(channel);
            input[channel][i] = static_cast<Sample>(level * std::sin(phase));
        }
}

template <typename Sample>
void processBlocks(Vst::IAudioProcessor& processor)
{
    std::array<std::array<Sample, blockFrames>, 2> input{};
    std::array<std::array<Sample, blockFrames>, 2> output{};
    const Sample* inputs[] = {input[0].data(), input[1].data()};
    Sample* outputs[] = {output[0].data(), output[1].data()};
    tarvel::host::ProcessBlock block;
    for (int n = 0; n < blocks; ++n) {
        fillInput(input, n);
        Vst::ProcessData& data = block.assemble<Sample>(inputs, outputs, 2, blockFrames);
        require(processor.process(data) == kResultOk, "process refused a block");
        for (const auto& channel : output)
            require(tarvel::fuzz::allFinite(channel.data(), channel.size()), "the output is not finite");
    }
}

// Setup and sample size chosen from the input's length, so every input
// always meets the same ones.
void process(tarvel::fuzz::Vst3Plugin& plugin, std::size_t choice)
{
    static constexpr double rates[] = {44100.0, 48000.0, 96000.0, 22050.0, 192000.0};
    const bool doubles = choice % 2 == 1;
    Vst::SpeakerArrangement stereo[] = {Vst::SpeakerArr::kStereo};
    require(plugin.processor().setBusArrangements(stereo, 1, stereo, 1) == kResultOk, "stereo refused");
    Vst::ProcessSetup setup{Vst::kRealtime, doubles ? Vst::kSample64 : Vst::kSample32, blockFrames,
                            rates[choice / 2 % std::size(rates)]};
    require(plugin.processor().setupProcessing(setup) == kResultOk, "setupProcessing refused");
    require(plugin.component().setActive(true) == kResultOk, "setActive refused");
    plugin.processor().setProcessing(true);
    if (doubles)
        processBlocks<double>(plugin.processor());
    else
        processBlocks<float>(plugin.processor());
    plugin.processor().setProcessing(false);
    plugin.component().setActive(false);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes input(data, data + size);
    tarvel::fuzz::Vst3Plugin plugin;
    Bytes before;
    require(plugin.processorState(before), "getState failed on a new processor");

    const bool loaded = plugin.loadProcessorState(input) == kResultOk;
    Bytes saved;
    require(plugin.processorState(saved), "getState failed after setState");
    if (!loaded)
        tarvel::fuzz::requireSame(before, saved, "a refused state changed the processor's state");

    if (!loaded)
        return 0;
    // Refused bytes leave the defaults, which every loaded input covers too.
    process(plugin, size);
    Bytes afterProcessing;
    require(plugin.processorState(afterProcessing), "getState failed after processing");
    tarvel::fuzz::requireSame(saved, afterProcessing, "processing without parameter changes changed the state");

    {
        tarvel::fuzz::Vst3Plugin second;
        require(second.loadProcessorState(saved) == kResultOk, "a saved state did not load again");
        Bytes savedAgain;
        require(second.processorState(savedAgain), "getState failed after loading a saved state");
        tarvel::fuzz::requireSame(saved, savedAgain, "a saved state loaded and saved again changed its bytes");
    }
    return 0;
}
