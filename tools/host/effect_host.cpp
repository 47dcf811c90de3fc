#include "tools/host/effect_host.h"

#include <stdexcept>

namespace tarvel::host {

void EffectHost::prepare(const ProcessSetup& setup)
{
    if (setup.channels != 1 && setup.channels != 2)
        throw std::runtime_error("only mono and stereo can be processed");
    if (setup.maxBlockSize < 1)
        throw std::runtime_error("the block size must be at least 1");
    stop();
    current = setup;
    start();
    prepared = true;
}

void EffectHost::stop()
{
    if (!prepared)
        return;
    halt();
    prepared = false;
}

void EffectHost::checkBlock(bool doublePrecision, std::int32_t frames) const
{
    if (!prepared)
        throw std::logic_error("process before prepare");
    if (doublePrecision != current.doublePrecision)
        throw std::logic_error(current.doublePrecision ? "prepared for 64-bit samples" : "prepared for 32-bit samples");
    if (frames < 0 || frames > current.maxBlockSize)
        throw std::logic_error("block larger than the prepared maximum");
}

void EffectHost::process(const float* const* input, float* const* output, std::int32_t frames)
{
    checkBlock(false, frames);
    processBlock(input, output, frames);
}

void EffectHost::process(const double* const* input, double* const* output, std::int32_t frames)
{
    checkBlock(true, frames);
    processBlock(input, output, frames);
}

} // namespace tarvel::host
