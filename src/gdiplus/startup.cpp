#include "native_objects.h"

#include <atomic>
#include <mutex>

namespace Gdiplus {

namespace {
std::mutex startupMutex;
int startCount = 0;
std::atomic<bool> running{false};
} // namespace

Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output)
{
    if (!token || !input)
        return InvalidParameter;
    if (input->GdiplusVersion < 1 || input->GdiplusVersion > 3)
        return UnsupportedGdiplusVersion;
    if (output) {
        output->NotificationHook = nullptr;
        output->NotificationUnhook = nullptr;
    }
    const std::lock_guard lock(startupMutex);
    if (startCount == 0) {
        if (!startFontSystem()) {
            stopFontSystem();
            return GenericError;
        }
        running = true;
    }
    ++startCount;
    *token = static_cast<ULONG_PTR>(startCount);
    return Ok;
}

void GdiplusShutdown(ULONG_PTR)
{
    const std::lock_guard lock(startupMutex);
    if (startCount == 0 || --startCount > 0)
        return;
    running = false;
    stopFontSystem();
}

bool gdiplusRunning() { return running; }

} // namespace Gdiplus
