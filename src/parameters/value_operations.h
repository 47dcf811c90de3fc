#pragma once
// The selection, minimum and maximum the formulas of this folder are written
// with, for one value. The engine's lane types provide the same operations
// for four values at once with the same rules, so that each formula is
// written once, as a template over its value type, and serves the engine's
// per-frame form (float), its chunked form (four lanes) and the editor's
// graph (double) alike.

namespace tarvel {

template <typename Value>
constexpr Value select(bool condition, Value ifTrue, Value ifFalse) noexcept
{
    return condition ? ifTrue : ifFalse;
}

// a < b ? a : b, and a > b ? a : b: b when either is NaN.
template <typename Value>
constexpr Value minimum(Value a, Value b) noexcept
{
    return a < b ? a : b;
}

template <typename Value>
constexpr Value maximum(Value a, Value b) noexcept
{
    return a > b ? a : b;
}

} // namespace tarvel
