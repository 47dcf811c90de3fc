#pragma once
// The controller's edits on their way to the CLAP host. The editor edits on
// the main thread; the host hears of it only as output events of the next
// process or flush call, which may run on the audio thread. A fixed ring,
// one writer and one reader at a time, nothing allocated after construction.

#include <array>
#include <atomic>
#include <cstdint>

namespace Steinberg::Vst {

struct ClapEdit {
    enum class Kind : std::uint8_t { begin, value, end };
    Kind kind = Kind::value;
    std::uint32_t id = 0;
    double value = 0.0;
};

class ClapEditQueue {
public:
    // False when the ring is full: the host has not processed or flushed for
    // longer than any user can drag.
    bool push(const ClapEdit& edit) noexcept
    {
        const std::uint32_t tail = written.load(std::memory_order_relaxed);
        if (tail - read.load(std::memory_order_acquire) == capacity)
            return false;
        slots[tail % capacity] = edit;
        written.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Hands every queued edit to deliver(edit) in order; an edit deliver
    // refuses (answers false) stays queued for the next call.
    template <typename Deliver>
    void drain(Deliver&& deliver) noexcept
    {
        std::uint32_t head = read.load(std::memory_order_relaxed);
        const std::uint32_t tail = written.load(std::memory_order_acquire);
        while (head != tail && deliver(slots[head % capacity]))
            ++head;
        read.store(head, std::memory_order_release);
    }

    bool empty() const noexcept
    {
        return read.load(std::memory_order_acquire) == written.load(std::memory_order_acquire);
    }

private:
    static constexpr std::uint32_t capacity = 256;
    std::array<ClapEdit, capacity> slots{};
    std::atomic<std::uint32_t> written{0};
    std::atomic<std::uint32_t> read{0};
};

} // namespace Steinberg::Vst
