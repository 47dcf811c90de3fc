#pragma once
// The tests' allocation counter, extended to everything that reaches the
// sanitizer's allocator (malloc and friends as well as operator new), for
// counting allocations inside process in a fuzz program.

namespace tarvel::fuzz {

// Call once before counting; later calls do nothing.
void watchAllAllocations();

} // namespace tarvel::fuzz
