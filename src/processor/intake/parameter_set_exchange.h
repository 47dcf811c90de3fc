#pragma once
// Hands a whole parameter set from the state loader to the audio thread.

#include <array>
#include <atomic>
#include <cstdint>

#include "parameters/parameters.h"
#include "processor/intake/exchange_transitions.h"

namespace tarvel {

// One writer thread publishes, one reader thread (the audio thread) takes.
// Neither side waits for the other: each only compare-and-swaps the state
// word and copies one slot, so publish() and take() are wait-free apart from
// retrying a swap that raced with the other side.
class ParameterSetExchange {
public:
    ParameterSetExchange() noexcept = default;
    ParameterSetExchange(const ParameterSetExchange&) = delete;
    ParameterSetExchange& operator=(const ParameterSetExchange&) = delete;

    void publish(const Parameters& set) noexcept;

    // Copies the newest set published since the last take into out; false
    // (out and the state untouched) when there is none.
    bool take(Parameters& out) noexcept;

private:
    static_assert(std::atomic<std::int32_t>::is_always_lock_free);

    std::atomic<std::int32_t> state{0};
    std::array<Parameters, 2> slots{};
};

} // namespace tarvel
