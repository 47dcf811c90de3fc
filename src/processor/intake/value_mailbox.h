#pragma once
// A single-value hand-over from the audio thread to another thread.

#include <atomic>
#include <cmath>
#include <limits>

namespace tarvel {

// Holds the latest float stored, or NaN when empty. The audio thread stores;
// one other thread takes. The exchange with NaN in take() lets each stored
// value be taken at most once, even when a store lands between the read and
// the exchange.
class ValueMailbox {
public:
    ValueMailbox() noexcept = default;
    ValueMailbox(const ValueMailbox&) = delete;
    ValueMailbox& operator=(const ValueMailbox&) = delete;

    void store(float value) noexcept { slot.store(value); }

    // Moves the stored value into out; false (out untouched) when empty.
    bool take(float& out) noexcept
    {
        // The plain read first keeps an empty mailbox free of write traffic.
        if (std::isnan(slot.load()))
            return false;
        const float value = slot.exchange(empty);
        if (std::isnan(value))
            return false;
        out = value;
        return true;
    }

private:
    static constexpr float empty = std::numeric_limits<float>::quiet_NaN();
    static_assert(std::atomic<float>::is_always_lock_free);

    std::atomic<float> slot{empty};
};

} // namespace tarvel
