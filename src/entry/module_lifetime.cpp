#include "entry/module_lifetime.h"

#include "entry/gui_runtime.h"

namespace tarvel {

bool moduleInit()
{
    try {
        acquireGuiRuntime();
    } catch (...) {
        // The host is across a C interface; a runtime that cannot start
        // leaves the editor without painting, not the host without the
        // plug-in.
    }
    return true;
}

bool moduleExit()
{
    try {
        releaseGuiRuntime();
    } catch (...) {
    }
    return true;
}

} // namespace tarvel
