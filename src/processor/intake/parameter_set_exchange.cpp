#include "processor/intake/parameter_set_exchange.h"

namespace tarvel {

namespace {

// Moves the state word along `table` and returns the entry that was applied.
// With `giveUp` set, an entry carrying that bit ends the attempt without a
// change. Every swap is sequentially consistent: the slot copies on both
// sides are ordered by these swaps alone.
std::uint8_t step(std::atomic<std::int32_t>& state, const std::array<std::uint8_t, 16>& table,
                  std::uint8_t giveUp = 0) noexcept
{
    std::int32_t current = state.load();
    for (;;) {
        const std::uint8_t entry = table[static_cast<std::size_t>(current & exchange_tables::nextStateMask)];
        if ((entry & giveUp) != 0)
            return entry;
        if (state.compare_exchange_weak(current, entry & exchange_tables::nextStateMask))
            return entry;
    }
}

std::size_t slotOf(std::uint8_t entry) noexcept { return (entry & exchange_tables::slotBit) != 0 ? 1u : 0u; }

} // namespace

void ParameterSetExchange::publish(const Parameters& set) noexcept
{
    const std::uint8_t acquired = step(state, exchange_tables::writerAcquire);
    slots[slotOf(acquired)] = set;
    step(state, exchange_tables::writerRelease);
}

bool ParameterSetExchange::take(Parameters& out) noexcept
{
    const std::uint8_t acquired = step(state, exchange_tables::readerAcquire, exchange_tables::nothingNewBit);
    if ((acquired & exchange_tables::nothingNewBit) != 0)
        return false;
    out = slots[slotOf(acquired)];
    step(state, exchange_tables::readerRelease);
    return true;
}

} // namespace tarvel
