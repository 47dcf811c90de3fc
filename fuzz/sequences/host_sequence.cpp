// Fuzz target: a sequence of host calls on one instance, each step chosen
// by the fuzzer's bytes (see HostSession for the calls and what is checked).

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "host_session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    tarvel::fuzz::HostSession session;
    // Hosts act in bounded bursts; a cap keeps one input's time in check.
    static const bool trace = std::getenv("TARVEL_FUZZ_TRACE") != nullptr;
    for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
        const int choice = in.ConsumeIntegralInRange<int>(0, 11);
        if (trace)
            std::fprintf(stderr, "tarvel fuzz: step %d\n", choice);
        switch (choice) {
        case 0: session.setupProcessing(in); break;
        case 1: session.setBusArrangements(in); break;
        case 2: session.setActive(in); break;
        case 3: session.setProcessing(in); break;
        case 4:
        case 5: session.process(in); break;
        case 6: session.flushParameters(in); break;
        case 7: session.loadState(in); break;
        case 8: session.saveState(); break;
        case 9: session.queryLatency(); break;
        case 10: session.editOnController(in); break;
        default: session.probeLatency(); break;
        }
    }
    return 0;
}
