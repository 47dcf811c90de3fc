#pragma once
// Chunks of interleaved samples passed between two threads: a bounded queue
// of full chunks one way and of emptied ones back, so the buffers are reused
// and a fast producer waits for a slow consumer.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <vector>

namespace tarvel::render {

struct Chunk {
    std::vector<double> samples;
    std::int64_t frames = 0;
    bool last = false;          // nothing follows
    std::exception_ptr failure; // what stopped the producer, with last set
};

class ChunkQueue {
public:
    // Waits while capacity chunks are queued. False once closed.
    bool push(Chunk chunk)
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return closed || queued.size() < capacity; });
        if (closed)
            return false;
        queued.push_back(std::move(chunk));
        changed.notify_all();
        return true;
    }

    // Waits for a chunk; nothing once closed and empty.
    std::optional<Chunk> pop()
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return closed || !queued.empty(); });
        return takeFront();
    }

    // Queues the chunk if there is room, else drops it; never waits.
    void offer(Chunk chunk)
    {
        const std::lock_guard lock(mutex);
        if (!closed && queued.size() < capacity) {
            queued.push_back(std::move(chunk));
            changed.notify_all();
        }
    }

    // A queued chunk if there is one, without waiting.
    std::optional<Chunk> tryPop()
    {
        const std::lock_guard lock(mutex);
        return takeFront();
    }

    // Wakes every waiter; later pushes are refused.
    void close()
    {
        const std::lock_guard lock(mutex);
        closed = true;
        changed.notify_all();
    }

private:
    // With the lock held.
    std::optional<Chunk> takeFront()
    {
        if (queued.empty())
            return std::nullopt;
        Chunk chunk = std::move(queued.front());
        queued.pop_front();
        changed.notify_all();
        return chunk;
    }

    static constexpr std::size_t capacity = 4;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Chunk> queued;
    bool closed = false;
};

} // namespace tarvel::render
