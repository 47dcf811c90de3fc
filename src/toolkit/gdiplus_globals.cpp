#include "toolkit/gdiplus_globals.h"

#include <gdiplus.h>

#include <mutex>

namespace VSTGUI {

namespace {
// Entry points may be called from different host threads; the count and the
// holder are guarded together.
std::mutex holderMutex;
GDIPlusGlobals* holder = nullptr;
int references = 0;
} // namespace

GDIPlusGlobals::GDIPlusGlobals()
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR startupToken = 0;
    running = Gdiplus::GdiplusStartup(&startupToken, &input, nullptr) == Gdiplus::Ok;
    token = startupToken;
}

GDIPlusGlobals::~GDIPlusGlobals()
{
    if (running)
        Gdiplus::GdiplusShutdown(token);
}

void GDIPlusGlobals::enter()
{
    const std::lock_guard lock(holderMutex);
    if (references++ == 0)
        holder = new GDIPlusGlobals();
}

void GDIPlusGlobals::exit()
{
    const std::lock_guard lock(holderMutex);
    if (references == 0)
        return;
    if (--references == 0) {
        delete holder;
        holder = nullptr;
    }
}

bool GDIPlusGlobals::isRunning()
{
    const std::lock_guard lock(holderMutex);
    return holder && holder->running;
}

int GDIPlusGlobals::referenceCount()
{
    const std::lock_guard lock(holderMutex);
    return references;
}

} // namespace VSTGUI
