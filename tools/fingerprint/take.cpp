#include "tools/fingerprint/take.h"

#include <cstdint>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"
#include "tools/fingerprint/programme_render.h"
#include "tools/host/module_library.h"
#include "tools/host/vst2_effect_host.h"
#include "tools/host/vst3_effect_host.h"

namespace tarvel::fingerprint {

namespace {

constexpr double sampleRate = 48000.0;
constexpr std::int32_t blockSize = 256;
constexpr std::int32_t blocks = 480; // 2.56 s

// The input uses only additions and multiplications, so every platform's
// floating point makes the same samples (no libm calls, whose last bits
// differ between C runtimes).
class TestSignal {
public:
    void next(double& left, double& right)
    {
        // Oscillators as rotations; the constants are cos and sin of
        // 2 pi f / 48000 for f = 440 and 97.
        rotate(a, 0.9983418166140283, 0.057564026959567284);
        rotate(b, 0.999919390746358, 0.012696929133930989);
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        const double white = (double(noise) / 4294967296.0 - 0.5) * 0.2;
        // Loud and quiet passages of a quarter second each, so the
        // compressor works in both directions.
        const double level = (frame++ / 12000) % 2 == 0 ? 0.8 : 0.02;
        left = level * (0.6 * a[1] + white);
        right = level * (0.3 * a[1] + 0.4 * b[1] - white);
    }

private:
    static void rotate(double (&p)[2], double c, double s)
    {
        const double x = p[0] * c - p[1] * s;
        const double y = p[0] * s + p[1] * c;
        p[0] = x;
        p[1] = y;
    }

    double a[2] = {1.0, 0.0};
    double b[2] = {1.0, 0.0};
    std::uint32_t noise = 2463534242u;
    std::int64_t frame = 0;
};

// The fixed programme: the test signal in blocks of 256 frames, with edits
// at block boundaries, as a user or a host's automation lane makes them;
// block 300 switches Speed, which changes the latency.
class FixedProgramme {
public:
    bool done() const { return block == blocks; }

    std::int32_t nextBlock(host::EffectHost& effect)
    {
        enum : std::uint32_t { Bypass, Speed, Ratio, StereoRatio, Target };
        if (block % 40 == 20)
            effect.setParameter(Ratio, 0.2 + 0.05 * (block / 40));
        if (block % 60 == 30)
            effect.setParameter(Target, 0.3 + 0.04 * (block / 60));
        if (block == 100)
            effect.setParameter(StereoRatio, 0.8);
        if (block == 200)
            effect.setParameter(Bypass, 1.0);
        if (block == 230)
            effect.setParameter(Bypass, 0.0);
        if (block == 300)
            effect.setParameter(Speed, 0.0);
        ++block;
        return blockSize;
    }

    void nextFrame(double& left, double& right) { signal.next(left, right); }

private:
    TestSignal signal;
    std::int32_t block = 0;
};

template <typename Sample>
void render(host::EffectHost& effect, std::vector<float>& audio)
{
    FixedProgramme programme;
    renderProgramme<Sample>(effect, programme, blockSize, [&](const Sample* const* output, std::int32_t frames) {
        for (std::size_t i = 0; i < std::size_t(frames); ++i)
            for (int c = 0; c < 2; ++c)
                audio.push_back(static_cast<float>(output[c][i]));
    });
}

void startValues(host::EffectHost& effect)
{
    effect.setParameter(1, 1.0);  // Speed
    effect.setParameter(2, 0.7);  // Ratio
    effect.setParameter(3, 0.25); // StereoRatio
    effect.setParameter(4, 0.45); // Target
}

// A class's ID in the text form hosts store in projects.
std::string classIdText(Steinberg::IPluginFactory& factory, Steinberg::int32 index)
{
    Steinberg::PClassInfo info{};
    if (factory.getClassInfo(index, &info) != Steinberg::kResultOk)
        throw std::runtime_error("the factory does not describe class " + std::to_string(index));
    Steinberg::FUID::String text{};
    Steinberg::FUID::fromTUID(info.cid).toString(text);
    return text;
}

// One pass of the programme, its audio appended; the states and the latency
// are recorded into `states` when given.
void renderPass(host::EffectHost& effect, bool doublePrecision, std::vector<float>& audio, Fingerprint* states)
{
    startValues(effect);
    host::ProcessSetup setup;
    setup.sampleRate = sampleRate;
    setup.maxBlockSize = blockSize;
    setup.channels = 2;
    setup.doublePrecision = doublePrecision;
    effect.prepare(setup);
    if (states) {
        states->stateBefore = effect.processorState();
        states->latency = effect.latency();
    }
    if (doublePrecision)
        render<double>(effect, audio);
    else
        render<float>(effect, audio);
    if (states)
        states->stateAfter = effect.processorState();
    effect.stop();
}

} // namespace

Fingerprint take(const std::string& modulePath)
{
    Fingerprint print;
    {
        host::PluginModule module(host::moduleBinaryPath(modulePath));
        Steinberg::IPtr<Steinberg::IPluginFactory> factory = Steinberg::owned(module.createFactory());
        if (!factory)
            throw std::runtime_error(modulePath + ": GetPluginFactory answered null");
        print.processorClassId = classIdText(*factory, 0);
        print.controllerClassId = classIdText(*factory, 1);
    }
    {
        host::Vst3EffectHost effect(modulePath);
        renderPass(effect, false, print.audio, &print);
    }
    {
        host::Vst3EffectHost effect(modulePath);
        renderPass(effect, true, print.audio, nullptr);
    }
    {
        // Through VSTPluginMain, as a VST 2 host sees the plug-in.
        host::Vst2EffectHost effect(modulePath);
        print.vst2UniqueId = effect.effect().uniqueID;
        renderPass(effect, false, print.audio, nullptr);
    }
    return print;
}

} // namespace tarvel::fingerprint
