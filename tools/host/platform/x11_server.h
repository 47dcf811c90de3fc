#pragma once
// An X server for programs that open windows: the one DISPLAY names, or
// else a virtual one (Xvfb) started for this process and stopped when it
// exits, so tests and benchmarks run the same on a desktop, under
// xvfb-run and on a headless machine.

namespace tarvel::host {

// Sets DISPLAY to a reachable server; false when there is none and Xvfb
// cannot be started.
bool ensureXServer();

} // namespace tarvel::host
