// tarvel-fingerprint take <module> <file>: renders the fixed programme
// through the module and writes what must match across platforms.
// tarvel-fingerprint compare <a> <b> [tolerance]: exit 0 when the class IDs
// (as text), VST 2 ID, latency and state bytes are identical and no audio
// sample differs by more than the tolerance (default 1e-6).
// tarvel-fingerprint digest <module> [seconds] [seed]: renders a long random
// automated programme (default 600 s, seed 1) through every processing path
// and prints a hash of the output's bits, for proving that a change to the
// engine left its output bit for bit the same.

#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>

#include "tools/fingerprint/digest.h"
#include "tools/fingerprint/fingerprint.h"
#include "tools/fingerprint/take.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: tarvel-fingerprint take <module> <file>\n"
                         "       tarvel-fingerprint compare <file> <file> [tolerance]\n"
                         "       tarvel-fingerprint digest <module> [seconds] [seed]\n");
    return 2;
}

int printDigests(const std::string& module, int argc, char** argv)
{
    char* end = nullptr;
    const double seconds = argc > 3 ? std::strtod(argv[3], &end) : 600.0;
    if (argc > 3 && (end == argv[3] || *end != '\0' || !(seconds > 0 && seconds <= 86400)))
        return usage();
    const unsigned long seed = argc > 4 ? std::strtoul(argv[4], &end, 10) : 1ul;
    if (argc > 4 && (end == argv[4] || *end != '\0' || seed > 0xffffffffu))
        return usage();
    for (const auto& digest : tarvel::fingerprint::digest(module, seconds, std::uint32_t(seed)))
        std::printf("%-13s %10lld frames  %016llx\n", digest.path.c_str(), static_cast<long long>(digest.frames),
                    static_cast<unsigned long long>(digest.hash));
    return 0;
}

int compareFiles(const std::string& first, const std::string& second, double tolerance)
{
    using namespace tarvel::fingerprint;
    const Comparison result = compare(load(first), load(second));
    for (const std::string& difference : result.differences)
        std::printf("differs: %s\n", difference.c_str());
    std::printf("largest audio difference %.3g at sample %zu (tolerance %.3g)\n", result.maxAudioDifference,
                result.worstFrame, tolerance);
    return result.identical && result.maxAudioDifference <= tolerance ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const std::string command = argc > 1 ? argv[1] : "";
        if (command == "take" && argc == 4) {
            tarvel::fingerprint::save(tarvel::fingerprint::take(argv[2]), argv[3]);
            return 0;
        }
        if (command == "digest" && argc >= 3 && argc <= 5)
            return printDigests(argv[2], argc, argv);
        if (command == "compare" && (argc == 4 || argc == 5)) {
            char* end = nullptr;
            const double tolerance = argc == 5 ? std::strtod(argv[4], &end) : 1e-6;
            if (argc == 5 && (end == argv[4] || *end != '\0' || !(tolerance >= 0)))
                return usage();
            return compareFiles(argv[2], argv[3], tolerance);
        }
        return usage();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarvel-fingerprint: %s\n", error.what());
        return 1;
    }
}
