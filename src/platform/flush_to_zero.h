#pragma once
// Denormal flushing for the duration of a scope: the FTZ bit of MXCSR on
// x86-64 (the same register on every operating system we ship for).
// Reading and writing MXCSR is an ordinary instruction, not a system call.

#include <xmmintrin.h>

namespace vantle::platform {

class ScopedFlushToZero {
public:
    ScopedFlushToZero() noexcept : previous(_mm_getcsr() & flushToZeroBit) { _mm_setcsr(_mm_getcsr() | flushToZeroBit); }
    ~ScopedFlushToZero() { _mm_setcsr((_mm_getcsr() & ~flushToZeroBit) | previous); }
    ScopedFlushToZero(const ScopedFlushToZero&) = delete;
    ScopedFlushToZero& operator=(const ScopedFlushToZero&) = delete;

    static constexpr unsigned flushToZeroBit = 0x8000u;

private:
    unsigned previous;
};

} // namespace vantle::platform
