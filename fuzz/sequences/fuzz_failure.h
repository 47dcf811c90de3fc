#pragma once
// A broken promise found while fuzzing: said on stderr, then the process
// aborts so libFuzzer keeps the input that led here.

#include <cstdio>
#include <cstdlib>

namespace tarvel::fuzz {

[[noreturn]] inline void fail(const char* what, double detail = 0.0)
{
    std::fprintf(stderr, "tarvel fuzz: %s (%g)\n", what, detail);
    std::abort();
}

inline void require(bool holds, const char* what, double detail = 0.0)
{
    if (!holds)
        fail(what, detail);
}

} // namespace tarvel::fuzz
