#pragma once
// The engine quantities of parameters/engine_conversion.h for four
// normalised values at once, for the runs of samples in which a parameter
// moves: the same templates on FloatLanes. Identical to the one-value
// conversions, except that the power of four is the correctly rounded float
// (from double-precision lanes) where the library's powf may round the other
// way in rare cases.

#include "parameters/engine_conversion.h"
#include "processor/engine/fast_exp.h"
#include "processor/engine/lanes.h"

namespace tarvel {

// 4^c = 2^(2c), and 2c is exact.
inline FloatLanes powerOfFour(FloatLanes c) noexcept { return narrow(exp2Lanes(widen(c) * 2.0)); }

} // namespace tarvel
