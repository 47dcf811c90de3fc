#pragma once
// Points a loaded module's imports of chosen functions at replacements, so
// that a test sees what the module calls (its allocations, its windows).

#include <windows.h>

#include <cstddef>

namespace tarvel::test {

struct ImportRedirection {
    void* real;
    void* replacement;
};

// Every import of the module from library (a DLL name) that points at one of
// the real functions is pointed at its replacement.
void redirectImports(HMODULE module, const char* library, const ImportRedirection* redirections, std::size_t count);

} // namespace tarvel::test
