#pragma once
// Plays a programme through an effect in stereo: the programme makes each
// block's edits and chooses its length, supplies the input frame by frame,
// and every output block goes to `takeBlock(outputs, frames)`.
//
// A programme has: bool done() const; std::int32_t nextBlock(EffectHost&);
// void nextFrame(double& left, double& right).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/host/effect_host.h"

namespace tarvel::fingerprint {

template <typename Sample, typename Programme, typename TakeBlock>
void renderProgramme(host::EffectHost& effect, Programme& programme, std::int32_t maxBlockSize, TakeBlock&& takeBlock)
{
    std::vector<Sample> in[2], out[2];
    for (auto* channels : {in, out})
        for (int c = 0; c < 2; ++c)
            channels[c].assign(std::size_t(maxBlockSize), Sample(0));
    while (!programme.done()) {
        const std::int32_t frames = programme.nextBlock(effect);
        for (std::size_t i = 0; i < std::size_t(frames); ++i) {
            double left = 0, right = 0;
            programme.nextFrame(left, right);
            in[0][i] = static_cast<Sample>(left);
            in[1][i] = static_cast<Sample>(right);
        }
        const Sample* inputs[2] = {in[0].data(), in[1].data()};
        Sample* outputs[2] = {out[0].data(), out[1].data()};
        effect.process(inputs, outputs, frames);
        const Sample* const rendered[2] = {out[0].data(), out[1].data()};
        takeBlock(rendered, frames);
    }
}

} // namespace tarvel::fingerprint
