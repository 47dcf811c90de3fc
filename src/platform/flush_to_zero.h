#pragma once
// Denormal flushing for the duration of a scope: the FTZ bit of MXCSR on
// x86-64 (the same register on every operating system we ship for), the FZ
// bit of FPCR on AArch64. Reading and writing either is an ordinary
// instruction, not a system call.
//
// The two differ at the edge: x86-64 flushes denormal results only, while
// AArch64 also reads denormal operands as zero. The engine makes no
// denormals of its own under either, so only denormal input samples, far
// below anything audible, are treated differently.

#include <cstdint>

#if !defined(__aarch64__)
#include <xmmintrin.h>
#endif

namespace vantle::platform {

#if defined(__aarch64__)

using FloatingPointControl = std::uint64_t;
inline constexpr FloatingPointControl flushToZeroBit = FloatingPointControl{1} << 24;

inline FloatingPointControl readFloatingPointControl() noexcept
{
    FloatingPointControl value;
    asm volatile("mrs %0, fpcr" : "=r"(value));
    return value;
}
inline void writeFloatingPointControl(FloatingPointControl value) noexcept { asm volatile("msr fpcr, %0" : : "r"(value)); }

// FPCR holds only modes; the sticky exception flags live in FPSR.
inline FloatingPointControl floatingPointMode() noexcept { return readFloatingPointControl(); }

#else

using FloatingPointControl = unsigned;
inline constexpr FloatingPointControl flushToZeroBit = 0x8000u;

inline FloatingPointControl readFloatingPointControl() noexcept { return _mm_getcsr(); }
inline void writeFloatingPointControl(FloatingPointControl value) noexcept { _mm_setcsr(value); }

// The low six bits of MXCSR are sticky exception flags, not the mode.
inline FloatingPointControl floatingPointMode() noexcept { return readFloatingPointControl() & ~0x3Fu; }

#endif

class ScopedFlushToZero {
public:
    ScopedFlushToZero() noexcept : previous(readFloatingPointControl() & flushToZeroBit)
    {
        writeFloatingPointControl(readFloatingPointControl() | flushToZeroBit);
    }
    ~ScopedFlushToZero() { writeFloatingPointControl((readFloatingPointControl() & ~flushToZeroBit) | previous); }
    ScopedFlushToZero(const ScopedFlushToZero&) = delete;
    ScopedFlushToZero& operator=(const ScopedFlushToZero&) = delete;

private:
    FloatingPointControl previous;
};

} // namespace vantle::platform
