#pragma once
// Counts calls to the global allocation functions while a scope is active on
// the current thread. Link allocation_counter.cpp into the test binary: it
// replaces operator new and delete for the whole program.

#include <cstddef>

namespace tarvel::test {

class AllocationCounter {
public:
    AllocationCounter();
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    std::size_t allocations() const;
    std::size_t deallocations() const;
};

// For allocations the replaced operators cannot see (a loaded module's own
// allocator): a platform file may set a hook run at the start of every
// counted scope, and report what it intercepts through these.
extern void (*beforeCounting)();
void noteAllocation() noexcept;
void noteDeallocation() noexcept;

} // namespace tarvel::test
