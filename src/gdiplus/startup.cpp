#include "gdiplus_flat.h"

#include <mutex>

extern "C" {
Gdiplus::Status GdiplusStartup(ULONG_PTR* token, const Gdiplus::GdiplusStartupInput* input,
                               Gdiplus::GdiplusStartupOutput* output);
void GdiplusShutdown(ULONG_PTR token);
}

namespace Gdiplus {

namespace {
// libgdiplus's shut-down ends fontconfig, and fontconfig aborts the process
// when cairo still holds cached fonts, which is always the case once text
// has been drawn. So libgdiplus is started once and stays up until the
// process ends; the calls below keep the Windows contract for their callers.
std::mutex startupMutex;
bool started = false;
Status startupStatus = GdiplusNotInitialized;
ULONG_PTR nativeToken = 0;
} // namespace

Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output)
{
    if (!token)
        return InvalidParameter;
    const std::lock_guard lock(startupMutex);
    if (!started) {
        startupStatus = ::GdiplusStartup(&nativeToken, input, output);
        started = startupStatus == Ok;
    }
    *token = nativeToken;
    return started ? Ok : startupStatus;
}

void GdiplusShutdown(ULONG_PTR) {}

} // namespace Gdiplus
