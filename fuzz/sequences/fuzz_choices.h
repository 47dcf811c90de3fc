#pragma once
// Choices the fuzzer's bytes make that both targets share: values a host or
// the user might hand over, the ordinary ones and the absurd ones.

#include <fuzzer/FuzzedDataProvider.h>

#include <limits>

namespace tarvel::fuzz {

// A normalised value as a careless host may send it: mostly inside [0, 1],
// sometimes not a number, infinite, outside the range or subnormal.
inline double anyNormalisedValue(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange<int>(0, 11)) {
    case 0: return std::numeric_limits<double>::quiet_NaN();
    case 1: return std::numeric_limits<double>::infinity();
    case 2: return -std::numeric_limits<double>::infinity();
    case 3: return -0.25;
    case 4: return 1.5;
    case 5: return 1e300;
    case 6: return -1e300;
    case 7: return std::numeric_limits<double>::denorm_min();
    case 8: return in.ConsumeBool() ? 0.0 : 1.0;
    default: return in.ConsumeProbability<double>();
    }
}

} // namespace tarvel::fuzz
