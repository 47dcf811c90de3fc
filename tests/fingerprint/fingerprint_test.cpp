// The comparison the cross-platform test rests on: a difference anywhere
// must be found, and the file must read back exactly what was written.
// And the digest that compares revisions of the engine.

#include "tools/fingerprint/digest.h"
#include "tools/fingerprint/fingerprint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

using namespace tarvel::fingerprint;

Fingerprint sample()
{
    Fingerprint print;
    print.processorClassId = "E0185EE209EAFDBDA202C59AA6CAC578";
    print.controllerClassId = "66AE89F121517BB4D3AE6077ADBAA41D";
    print.vst2UniqueId = -255;
    print.stateBefore = {1, 2, 3, 0, 5};
    print.stateAfter = {9, 8, 7};
    print.latency = 590;
    print.audio = {0.0f, 0.5f, -0.25f, 1e-20f};
    return print;
}

std::string temporaryFile(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

TEST(Fingerprint, ReadsBackWhatWasWritten)
{
    const std::string path = temporaryFile("tarvel-fingerprint-test.bin");
    save(sample(), path);
    const Fingerprint read = load(path);
    std::filesystem::remove(path);
    const Comparison result = compare(sample(), read);
    EXPECT_TRUE(result.identical);
    EXPECT_EQ(result.maxAudioDifference, 0.0);
    EXPECT_EQ(read.audio, sample().audio);
    EXPECT_EQ(read.stateBefore, sample().stateBefore);
    EXPECT_EQ(read.vst2UniqueId, -255);
    EXPECT_EQ(read.controllerClassId, sample().controllerClassId);
}

TEST(Fingerprint, FindsAnyDifferenceOutsideTheAudio)
{
    auto changed = [](auto change) {
        Fingerprint other = sample();
        change(other);
        return compare(sample(), other);
    };
    // The same bytes in the other platform's layout read differently.
    EXPECT_FALSE(changed([](Fingerprint& f) { f.processorClassId = "E25E18E0EA09BDFDA202C59AA6CAC578"; }).identical);
    EXPECT_FALSE(changed([](Fingerprint& f) { f.controllerClassId.back() = 'E'; }).identical);
    EXPECT_FALSE(changed([](Fingerprint& f) { f.vst2UniqueId = 255; }).identical);
    EXPECT_FALSE(changed([](Fingerprint& f) { f.stateBefore[3] = 1; }).identical);
    EXPECT_FALSE(changed([](Fingerprint& f) { f.stateAfter.push_back(0); }).identical);
    EXPECT_FALSE(changed([](Fingerprint& f) { f.latency = 5900; }).identical);
    EXPECT_EQ(changed([](Fingerprint& f) { f.stateAfter[0] = 0; }).differences.size(), 1u);
}

TEST(Fingerprint, MeasuresTheLargestAudioDifferenceAndTreatsLoneNanAsInfinite)
{
    Fingerprint other = sample();
    other.audio[1] = 0.5f + 1e-6f;
    other.audio[2] = -0.25f - 3e-6f;
    Comparison result = compare(sample(), other);
    EXPECT_TRUE(result.identical) << "audio counts only through its difference";
    EXPECT_NEAR(result.maxAudioDifference, 3e-6, 1e-7);
    EXPECT_EQ(result.worstFrame, 2u);

    other.audio[3] = NAN;
    EXPECT_TRUE(std::isinf(compare(sample(), other).maxAudioDifference));
    Fingerprint bothNan = sample();
    bothNan.audio[3] = NAN;
    EXPECT_EQ(compare(bothNan, bothNan).maxAudioDifference, 0.0);

    other = sample();
    other.audio.pop_back();
    result = compare(sample(), other);
    EXPECT_FALSE(result.identical);
    EXPECT_TRUE(std::isinf(result.maxAudioDifference));
}

TEST(Fingerprint, RefusesFilesThatAreNotFingerprintsOrAreCutShort)
{
    const std::string path = temporaryFile("tarvel-fingerprint-bad.bin");
    {
        std::ofstream file(path, std::ios::binary);
        file << "not a fingerprint at all";
    }
    EXPECT_THROW(load(path), std::runtime_error);

    save(sample(), path);
    const auto size = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, size - 3);
    EXPECT_THROW(load(path), std::runtime_error);
    std::filesystem::remove(path);
    EXPECT_THROW(load(path), std::runtime_error) << "missing file";
}

// The revision check rests on the digest: the same programme must give the
// same bits, another programme other bits, and the VST 2 entry the bits of
// the VST 3 entry's 32-bit path, which the same edits reach at the same
// block boundaries; the CLAP entry gives the VST 3 bits at both sizes.
// Where LV2 is built its path is covered too.
TEST(FingerprintDigest, IsRepeatableFollowsTheProgrammeAndAgreesBetweenEntries)
{
    const std::vector<Digest> first = digest(TARVEL_MODULE_PATH, 5.0, 11);
    const std::vector<Digest> again = digest(TARVEL_MODULE_PATH, 5.0, 11);
    const std::vector<Digest> other = digest(TARVEL_MODULE_PATH, 5.0, 12);
    ASSERT_EQ(first.size(), std::size_t{TARVEL_DIGEST_PATHS});
    if (first.size() == 6) {
        EXPECT_EQ(first[5].path, "LV2");
    }
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].frames, 240000) << first[i].path;
        EXPECT_EQ(first[i].hash, again[i].hash) << first[i].path;
        EXPECT_NE(first[i].hash, other[i].hash) << first[i].path;
    }
    EXPECT_EQ(first[0].hash, first[2].hash);
    EXPECT_EQ(first[3].path, "CLAP 32-bit");
    EXPECT_EQ(first[0].hash, first[3].hash);
    EXPECT_EQ(first[1].hash, first[4].hash);
}

} // namespace
