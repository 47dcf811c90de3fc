#include "entry/gui_runtime.h"

#include "toolkit/gdiplus_globals.h"

namespace tarvel {

void acquireGuiRuntime()
{
    VSTGUI::GDIPlusGlobals::enter();
}

void releaseGuiRuntime()
{
    VSTGUI::GDIPlusGlobals::exit();
}

bool guiRuntimeRunning()
{
    return VSTGUI::GDIPlusGlobals::isRunning();
}

std::int32_t guiRuntimeReferences()
{
    return VSTGUI::GDIPlusGlobals::referenceCount();
}

} // namespace tarvel
