#pragma once
// Hands a whole parameter set from the state loader to the audio thread.

#include <array>
#include <atomic>
#include <cstdint>

#include "parameters/parameters.h"

namespace tarvel {

// Transition tables of the exchange's state word, indexed by the current
// state. In each entry bits 0-3 are the next state and bit 4 the slot the
// step uses; in readerAcquire, bit 5 means nothing new has been published.
// The tables encode which of the two slots the writer may fill and which the
// reader may copy, so that neither ever touches the slot the other is using.
namespace exchange_tables {
inline constexpr std::uint8_t nextStateMask = 0x0F;
inline constexpr std::uint8_t slotBit = 0x10;
inline constexpr std::uint8_t nothingNewBit = 0x20;

inline constexpr std::array<std::uint8_t, 16> writerAcquire{
    0x04, 0x00, 0x06, 0x07, 0x00, 0x00, 0x00, 0x00, 0x19, 0x00, 0x00, 0x07, 0x1D, 0x00, 0x1D, 0x00};
inline constexpr std::array<std::uint8_t, 16> writerRelease{
    0x00, 0x02, 0x00, 0x00, 0x08, 0x00, 0x08, 0x0B, 0x00, 0x02, 0x00, 0x00, 0x00, 0x0E, 0x00, 0x00};
inline constexpr std::array<std::uint8_t, 16> readerAcquire{
    0x20, 0x21, 0x13, 0x00, 0x24, 0x25, 0x26, 0x00, 0x0C, 0x0D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
inline constexpr std::array<std::uint8_t, 16> readerRelease{
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x08, 0x00, 0x01, 0x02, 0x00};
} // namespace exchange_tables

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
