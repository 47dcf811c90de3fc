// Every interleaving of one writer and one reader over the exchange's
// transition tables, explored exhaustively: the tables alone decide which
// slot each side may touch, so a wrong entry shows up here deterministically
// rather than once in a million runs of the threaded test.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "processor/intake/exchange_transitions.h"

namespace tarvel {
namespace {

namespace tables = exchange_tables;

enum class Writer : std::uint8_t { Idle, Acquired, Filled };

struct Model {
    std::uint8_t state = 0;
    Writer writer = Writer::Idle;
    std::uint8_t writerSlot = 0;
    std::uint8_t publishes = 0;  // publishes begun
    bool readerHolds = false;
    std::uint8_t readerSlot = 0;
    std::uint8_t takes = 0;      // takes finished
    std::uint8_t slots[2] = {0, 0};
    std::uint8_t completed = 0;  // number of the newest completed publish
    std::uint8_t lastTaken = 0;

    std::uint64_t key() const
    {
        std::uint64_t k = state;
        for (const std::uint64_t part :
             {std::uint64_t(writer), std::uint64_t(writerSlot), std::uint64_t(publishes), std::uint64_t(readerHolds),
              std::uint64_t(readerSlot), std::uint64_t(takes), std::uint64_t(slots[0]), std::uint64_t(slots[1]),
              std::uint64_t(completed), std::uint64_t(lastTaken)})
            k = k * 16 + part;
        return k;
    }
};

std::uint8_t next(std::uint8_t entry) { return entry & tables::nextStateMask; }
std::uint8_t slotOf(std::uint8_t entry) { return (entry & tables::slotBit) ? 1 : 0; }

struct Exploration {
    std::set<int> reachableStates;
    std::vector<std::string> faults;
    std::size_t modelStates = 0;
};

Exploration explore(std::uint8_t maxPublishes, std::uint8_t maxTakes)
{
    Exploration result;
    std::set<std::uint64_t> seen;
    std::vector<Model> pending{Model{}};
    auto fault = [&](const Model& m, const char* what) {
        if (result.faults.size() < 5)
            result.faults.push_back(std::string(what) + " in state " + std::to_string(m.state));
    };
    while (!pending.empty()) {
        const Model m = pending.back();
        pending.pop_back();
        if (!seen.insert(m.key()).second)
            continue;
        result.reachableStates.insert(m.state);
        if (m.writer != Writer::Idle && m.readerHolds && m.writerSlot == m.readerSlot)
            fault(m, "writer and reader hold the same slot");

        // Writer: acquire a slot, fill it, release it.
        if (m.writer == Writer::Idle && m.publishes < maxPublishes) {
            Model n = m;
            const std::uint8_t entry = tables::writerAcquire[m.state];
            n.state = next(entry);
            n.writerSlot = slotOf(entry);
            n.writer = Writer::Acquired;
            ++n.publishes;
            pending.push_back(n);
        } else if (m.writer == Writer::Acquired) {
            Model n = m;
            n.slots[m.writerSlot] = m.publishes;
            n.writer = Writer::Filled;
            pending.push_back(n);
        } else if (m.writer == Writer::Filled) {
            Model n = m;
            n.state = next(tables::writerRelease[m.state]);
            n.writer = Writer::Idle;
            n.completed = m.publishes;
            pending.push_back(n);
        }

        // Reader: acquire (or find nothing new), then release after copying.
        if (!m.readerHolds && m.takes < maxTakes) {
            const std::uint8_t entry = tables::readerAcquire[m.state];
            Model n = m;
            if (entry & tables::nothingNewBit) {
                // The newest completed set, not yet taken, still whole in a
                // slot the writer is not filling must be delivered. (A
                // publish that starts while the reader holds the other slot
                // overwrites it: the set after it supersedes it.)
                bool waiting = false;
                for (std::uint8_t slot = 0; slot < 2; ++slot)
                    waiting |= m.slots[slot] == m.completed && !(m.writer != Writer::Idle && m.writerSlot == slot);
                if (m.completed != m.lastTaken && waiting)
                    fault(m, "a completed set was not delivered");
                ++n.takes;
            } else {
                n.state = next(entry);
                n.readerSlot = slotOf(entry);
                n.readerHolds = true;
                const std::uint8_t got = m.slots[n.readerSlot];
                if (got != m.completed)
                    fault(m, "the set delivered is not the newest completed one");
                if (got <= m.lastTaken)
                    fault(m, "a set was delivered twice or out of order");
                n.lastTaken = got;
            }
            pending.push_back(n);
        } else if (m.readerHolds) {
            Model n = m;
            n.state = next(tables::readerRelease[m.state]);
            n.readerHolds = false;
            ++n.takes;
            pending.push_back(n);
        }
    }
    result.modelStates = seen.size();
    return result;
}

TEST(ParameterSetExchangeTables, HoldUnderEveryInterleaving)
{
    const Exploration result = explore(6, 6);
    EXPECT_TRUE(result.faults.empty()) << result.faults.front();
    EXPECT_GT(result.modelStates, 1000u);
    EXPECT_EQ(result.reachableStates, (std::set<int>{0, 1, 2, 3, 4, 6, 7, 8, 9, 11, 12, 13, 14}));
}

} // namespace
} // namespace tarvel
