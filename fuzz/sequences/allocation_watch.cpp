#include "allocation_watch.h"

#include <sanitizer/allocator_interface.h>

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
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(onAllocation, onRelease) != 0;
    (void)installed;
}

} // namespace tarvel::fuzz
