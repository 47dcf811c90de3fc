#pragma once
// The state machine of ParameterSetExchange: the state word and the four
// transition tables its two sides step along.

#include <array>
#include <cstdint>

namespace tarvel {

// The exchange's state word says what each of the two slots is used for;
// the transition tables below move it along, one per step of either side,
// and say which slot the step gives that side. They are generated from the
// four rules (writerAcquires ... readerReleases) over every state, so a
// reader checks the rules, not 64 numbers.
namespace exchange_tables {

enum class SlotUse : std::uint8_t {
    Idle,    // free: nothing in it that the reader has not had or lost to a newer set
    Writing, // the writer is filling it
    Fresh,   // holds the newest complete set, not yet taken
    Reading, // the reader is copying it
};

// State words: slot 0's use in bits 2-3, slot 1's in bits 0-1.
constexpr std::uint8_t stateOf(SlotUse slot0, SlotUse slot1) noexcept
{
    return static_cast<std::uint8_t>(static_cast<unsigned>(slot0) << 2 | static_cast<unsigned>(slot1));
}
constexpr SlotUse useOf(std::uint8_t state, unsigned slot) noexcept
{
    return static_cast<SlotUse>(slot == 0 ? (state >> 2) & 3u : state & 3u);
}

// Table entries: bits 0-3 the next state; in the acquiring tables bit 4 the
// slot the step gives, and in the reader's bit 5 that there is nothing new.
inline constexpr std::uint8_t nextStateMask = 0x0F;
inline constexpr std::uint8_t slotBit = 0x10;
inline constexpr std::uint8_t nothingNewBit = 0x20;

constexpr std::uint8_t entry(std::uint8_t next, unsigned slot) noexcept
{
    return static_cast<std::uint8_t>(next | (slot == 1 ? slotBit : 0u));
}

// States that one writer and one reader never reach (both slots written,
// both fresh or both read), and steps a side does not take while it holds
// a slot, get 0: never looked up.
constexpr bool possible(std::uint8_t state) noexcept
{
    return useOf(state, 0) != useOf(state, 1) || useOf(state, 0) == SlotUse::Idle;
}
constexpr bool holds(std::uint8_t state, SlotUse use) noexcept
{
    return useOf(state, 0) == use || useOf(state, 1) == use;
}
// The state with slot's use replaced.
constexpr std::uint8_t with(std::uint8_t state, unsigned slot, SlotUse use) noexcept
{
    return slot == 0 ? stateOf(use, useOf(state, 1)) : stateOf(useOf(state, 0), use);
}

// The writer fills the slot the reader is not reading; with none read, the
// one not holding the fresh set, so that set stays takeable meanwhile; with
// neither, slot 0.
constexpr std::uint8_t writerAcquires(std::uint8_t state) noexcept
{
    if (!possible(state) || holds(state, SlotUse::Writing))
        return 0;
    unsigned slot = 0;
    if (useOf(state, 0) == SlotUse::Reading || useOf(state, 0) == SlotUse::Fresh)
        slot = 1;
    if (useOf(state, 1) == SlotUse::Reading)
        slot = 0;
    return entry(with(state, slot, SlotUse::Writing), slot);
}

// The filled slot holds the newest set; a fresh one from before it is
// superseded, never to be taken.
constexpr std::uint8_t writerReleases(std::uint8_t state) noexcept
{
    if (!possible(state) || !holds(state, SlotUse::Writing))
        return 0;
    const unsigned slot = useOf(state, 0) == SlotUse::Writing ? 0 : 1;
    std::uint8_t next = with(state, slot, SlotUse::Fresh);
    if (useOf(next, 1 - slot) == SlotUse::Fresh)
        next = with(next, 1 - slot, SlotUse::Idle);
    return next;
}

// The reader takes the fresh slot, whatever the writer is doing with the
// other; with none fresh there is nothing new and the state stays.
constexpr std::uint8_t readerAcquires(std::uint8_t state) noexcept
{
    if (!possible(state) || holds(state, SlotUse::Reading))
        return 0;
    if (!holds(state, SlotUse::Fresh))
        return static_cast<std::uint8_t>(state | nothingNewBit);
    const unsigned slot = useOf(state, 0) == SlotUse::Fresh ? 0 : 1;
    return entry(with(state, slot, SlotUse::Reading), slot);
}

// The slot read is free again.
constexpr std::uint8_t readerReleases(std::uint8_t state) noexcept
{
    if (!possible(state) || !holds(state, SlotUse::Reading))
        return 0;
    const unsigned slot = useOf(state, 0) == SlotUse::Reading ? 0 : 1;
    return with(state, slot, SlotUse::Idle);
}

using Table = std::array<std::uint8_t, 16>;

constexpr Table tableOf(std::uint8_t (*rule)(std::uint8_t) noexcept) noexcept
{
    Table table{};
    for (std::uint8_t state = 0; state < 16; ++state)
        table[state] = rule(state);
    return table;
}

inline constexpr Table writerAcquire = tableOf(writerAcquires);
inline constexpr Table writerRelease = tableOf(writerReleases);
inline constexpr Table readerAcquire = tableOf(readerAcquires);
inline constexpr Table readerRelease = tableOf(readerReleases);

// A few rows, as a reader would check them: a publish from the start, a
// take of it, and a publish while the reader copies.
static_assert(writerAcquire[stateOf(SlotUse::Idle, SlotUse::Idle)] == entry(stateOf(SlotUse::Writing, SlotUse::Idle), 0));
static_assert(writerRelease[stateOf(SlotUse::Writing, SlotUse::Idle)] == entry(stateOf(SlotUse::Fresh, SlotUse::Idle), 0));
static_assert(readerAcquire[stateOf(SlotUse::Fresh, SlotUse::Idle)] == entry(stateOf(SlotUse::Reading, SlotUse::Idle), 0));
static_assert(writerAcquire[stateOf(SlotUse::Reading, SlotUse::Fresh)] ==
              entry(stateOf(SlotUse::Reading, SlotUse::Writing), 1));
static_assert(readerAcquire[stateOf(SlotUse::Idle, SlotUse::Idle)] == nothingNewBit);

} // namespace exchange_tables

} // namespace tarvel
