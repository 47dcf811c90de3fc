#include "support/allocation_counter.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

thread_local bool counting = false;
thread_local std::size_t allocationCount = 0;
thread_local std::size_t deallocationCount = 0;

void count()
{
    if (counting)
        ++allocationCount;
}

void* allocate(std::size_t size)
{
    count();
    void* p = std::malloc(size == 0 ? 1 : size);
    if (!p)
        throw std::bad_alloc();
    return p;
}

// Over-aligned blocks are carved out of a larger malloc block with the
// original pointer stored just before them: std::aligned_alloc is missing
// from some C runtimes (msvcrt), and this keeps one scheme everywhere.
void* allocateAligned(std::size_t size, std::size_t alignment)
{
    if (alignment <= alignof(std::max_align_t))
        return allocate(size);
    count();
    void* raw = std::malloc(size + alignment + sizeof(void*));
    if (!raw)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
    void* aligned = reinterpret_cast<void*>((start + alignment - 1) / alignment * alignment);
    static_cast<void**>(aligned)[-1] = raw;
    return aligned;
}

void release(void* p) noexcept
{
    if (counting && p)
        ++deallocationCount;
    std::free(p);
}

void releaseAligned(void* p, std::size_t alignment) noexcept
{
    if (alignment <= alignof(std::max_align_t) || !p)
        return release(p);
    if (counting)
        ++deallocationCount;
    std::free(static_cast<void**>(p)[-1]);
}

} // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, std::align_val_t a) { return allocateAligned(size, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t size, std::align_val_t a) { return allocateAligned(size, static_cast<std::size_t>(a)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, std::align_val_t a) noexcept { releaseAligned(p, static_cast<std::size_t>(a)); }
void operator delete[](void* p, std::align_val_t a) noexcept { releaseAligned(p, static_cast<std::size_t>(a)); }
void operator delete(void* p, std::size_t, std::align_val_t a) noexcept { releaseAligned(p, static_cast<std::size_t>(a)); }
void operator delete[](void* p, std::size_t, std::align_val_t a) noexcept { releaseAligned(p, static_cast<std::size_t>(a)); }

namespace tarvel::test {

void (*beforeCounting)() = nullptr;

void noteAllocation() noexcept { count(); }

void noteDeallocation() noexcept
{
    if (counting)
        ++deallocationCount;
}

AllocationCounter::AllocationCounter()
{
    if (beforeCounting)
        beforeCounting();
    allocationCount = deallocationCount = 0;
    counting = true;
}

AllocationCounter::~AllocationCounter() { counting = false; }

std::size_t AllocationCounter::allocations() const { return allocationCount; }
std::size_t AllocationCounter::deallocations() const { return deallocationCount; }

} // namespace tarvel::test
