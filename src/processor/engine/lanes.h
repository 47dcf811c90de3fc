#pragma once
// The engine's SIMD lanes: four floats, four doubles, and the bit patterns of
// those doubles. The rest of the engine writes arithmetic on these types, one
// operation per operation of its one-value form, so a lane computes what that
// form computes, bit for bit, whichever implementation is built: SSE2 on
// x86-64, NEON on AArch64, or plain C++ elsewhere (and on those two too when
// TARVEL_PLAIN_LANES is defined, so that the portable form is built and
// tested everywhere).

#include <cstdint>

#if defined(TARVEL_PLAIN_LANES)
#include "processor/engine/lanes_plain.h"
#elif defined(__x86_64__) || defined(_M_X64)
#include "processor/engine/lanes_sse2.h"
#elif defined(__aarch64__)
#include "processor/engine/lanes_neon.h"
#else
#include "processor/engine/lanes_plain.h"
#endif

namespace tarvel {

// Lanes a multiple of the width, enough for count values.
constexpr std::int32_t wholeLanes(std::int32_t count) noexcept
{
    return (count + FloatLanes::width - 1) / FloatLanes::width * FloatLanes::width;
}

} // namespace tarvel
