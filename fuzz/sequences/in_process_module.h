#pragma once
// The plug-in module as a host holds it, but linked into the fuzz program
// itself: the program's own image is opened with the dynamic loader (an
// empty name is the program), so GetPluginFactory and ModuleEntry are found
// and called exactly as in a loaded Tarvel64.so, while the fuzzer's coverage
// sees every line behind them.

#include "tools/host/module_library.h"

namespace tarvel::fuzz {

// Entered once on first use, exited when the program ends.
host::PluginModule& inProcessModule();

} // namespace tarvel::fuzz
