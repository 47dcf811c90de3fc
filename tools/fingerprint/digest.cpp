#include "tools/fingerprint/digest.h"

#include "tools/fingerprint/optional_formats.h"
#include "tools/fingerprint/programme_render.h"
#include "tools/fingerprint/random_programme.h"
#include "tools/host/clap_effect_host.h"
#include "tools/host/vst2_effect_host.h"
#include "tools/host/vst3_effect_host.h"

namespace tarvel::fingerprint {

namespace {

constexpr double sampleRate = 48000.0;

template <typename Sample>
Digest render(host::EffectHost& effect, std::int64_t frames, std::uint32_t seed)
{
    host::ProcessSetup setup;
    setup.sampleRate = sampleRate;
    setup.maxBlockSize = RandomProgramme::maxBlockSize;
    setup.doublePrecision = sizeof(Sample) == sizeof(double);
    effect.prepare(setup);

    RandomProgramme programme(seed, frames);
    Digest result;
    result.hash = 14695981039346656037ull;
    renderProgramme<Sample>(effect, programme, RandomProgramme::maxBlockSize,
                            [&](const Sample* const* output, std::int32_t length) {
                                for (int c = 0; c < 2; ++c) {
                                    const auto* bytes = reinterpret_cast<const unsigned char*>(output[c]);
                                    for (std::size_t k = 0; k < std::size_t(length) * sizeof(Sample); ++k)
                                        result.hash = (result.hash ^ bytes[k]) * 1099511628211ull;
                                }
                                result.frames += length;
                            });
    effect.stop();
    return result;
}

} // namespace

std::vector<Digest> digest(const std::string& modulePath, double seconds, std::uint32_t seed)
{
    const auto frames = static_cast<std::int64_t>(seconds * sampleRate);
    std::vector<Digest> digests;
    {
        host::Vst3EffectHost effect(modulePath);
        digests.push_back(render<float>(effect, frames, seed));
        digests.back().path = "VST 3 32-bit";
    }
    {
        host::Vst3EffectHost effect(modulePath);
        digests.push_back(render<double>(effect, frames, seed));
        digests.back().path = "VST 3 64-bit";
    }
    {
        host::Vst2EffectHost effect(modulePath);
        digests.push_back(render<float>(effect, frames, seed));
        digests.back().path = "VST 2";
    }
    {
        host::ClapEffectHost effect(modulePath);
        digests.push_back(render<float>(effect, frames, seed));
        digests.back().path = "CLAP 32-bit";
    }
    {
        host::ClapEffectHost effect(modulePath);
        digests.push_back(render<double>(effect, frames, seed));
        digests.back().path = "CLAP 64-bit";
    }
    if (const auto effect = lv2EffectHost(modulePath)) {
        digests.push_back(render<float>(*effect, frames, seed));
        digests.back().path = "LV2";
    }
    return digests;
}

} // namespace tarvel::fingerprint
