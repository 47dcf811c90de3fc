#pragma once
// The GUI toolkit's shared, reference-counted GDI+ runtime as the module's
// load and unload see it: the first reference starts GDI+, the last one shuts
// it down.

#include <cstdint>

namespace tarvel {

void acquireGuiRuntime();
void releaseGuiRuntime();

// Whether GDI+ is running, and how many references hold it.
bool guiRuntimeRunning();
std::int32_t guiRuntimeReferences();

} // namespace tarvel
