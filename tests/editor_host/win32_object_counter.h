#pragma once
// Counts the GDI and USER objects a loaded module makes and lets go of,
// by pointing its imports of the making and freeing functions at counting
// wrappers. (Wine's GetGuiResources always answers 0.)

#include <windows.h>

namespace tarvel::test {

struct ObjectCounts {
    long gdiMade = 0;
    long gdiLive = 0;
    long userMade = 0;
    long userLive = 0;
};

// Redirects the module's imports; counts start at 0.
void countObjectsOf(HMODULE module);
ObjectCounts objectCounts();

} // namespace tarvel::test
