#include "allocation_watch.h"

#include <sanitizer/allocator_interface.h>

#include <cstdlib>

#include "fuzz_failure.h"
#include "support/allocation_counter.h"

namespace tarvel::fuzz {

namespace {

// The hooks run on the allocating thread, so the counter's per-thread scope
// decides whether they count.
void onAllocation(const volatile void*, std::size_t) { test::noteAllocation(); }

void onRelease(const volatile void* block)
{
    if (block)
        test::noteDeallocation();
}

} // namespace

void watchAllAllocations()
{
    static const bool installed = [] {
        if (__sanitizer_install_malloc_and_free_hooks(onAllocation, onRelease) == 0)
            fail("the sanitizer took no allocation hooks");
        // A plain malloc, which the replaced operator new never sees, must
        // count: otherwise "no allocation in process" would prove nothing.
        test::AllocationCounter counter;
        void* volatile block = std::malloc(16);
        std::free(block);
        require(counter.allocations() > 0, "the allocation counter misses malloc");
        return true;
    }();
    (void)installed;
}

} // namespace tarvel::fuzz
