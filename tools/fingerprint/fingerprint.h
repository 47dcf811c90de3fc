#pragma once
// What must come out the same wherever the module runs: the class IDs in
// the text form hosts store in projects, the VST 2 unique ID, the
// processor's state bytes and the audio of a fixed render. Written to and read from a small binary file so that two builds
// (Linux natively, Windows under Wine) can be compared.

#include <cstdint>
#include <string>
#include <vector>

namespace tarvel::fingerprint {

struct Fingerprint {
    std::string processorClassId;          // FUID::toString: the raw bytes
    std::string controllerClassId;         // differ by platform, the text not
    std::int32_t vst2UniqueId = 0;         // as the VST 2 entry reports it
    std::vector<std::uint8_t> stateBefore; // after the start values were set
    std::vector<std::uint8_t> stateAfter;  // after the automated render
    std::int32_t latency = 0;
    std::vector<float> audio;              // every render, channels interleaved
};

// Throws std::runtime_error when the file cannot be written or read, or is
// not a fingerprint.
void save(const Fingerprint& print, const std::string& path);
Fingerprint load(const std::string& path);

struct Comparison {
    bool identical = true;     // everything but the audio, byte for byte
    double maxAudioDifference = 0.0;
    std::size_t worstFrame = 0;
    std::vector<std::string> differences;
};

Comparison compare(const Fingerprint& a, const Fingerprint& b);

} // namespace tarvel::fingerprint
