#pragma once
// BS.1770 K-weighting: pre-filter, then RLB high-pass. tarvel-render's meter
// has its own (tools/render/k_weighting.h), on purpose: it measures what this
// engine outputs and must not share its arithmetic.

#include <cstdint>

#include "processor/engine/biquad.h"
#include "processor/engine/biquad_design.h"

namespace tarvel {

struct KWeightingFilter {
    BiquadSection preFilter;
    BiquadSection highPass;

    static KWeightingFilter forSampleRate(std::int32_t sampleRate)
    {
        KWeightingFilter filter;
        filter.preFilter.c = designBiquadAt(kPreFilterAt48k, sampleRate);
        filter.highPass.c = designBiquadAt(kHighPassAt48k, sampleRate);
        return filter;
    }

    // y = H_highpass(H_pre(x)): the two sections in series.
    float process(float x) noexcept { return highPass.process(preFilter.process(x)); }

    void clearState() noexcept
    {
        preFilter.clearState();
        highPass.clearState();
    }
};

} // namespace tarvel
