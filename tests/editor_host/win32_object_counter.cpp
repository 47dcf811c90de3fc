#include "win32_object_counter.h"

#include "support/platform/import_redirect_windows.h"

#include <iterator>

namespace tarvel::test {

namespace {

ObjectCounts counts;

template <typename Function>
Function real(const char* library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(library), name)));
}

const auto realCreateCompatibleDC = real<HDC(WINAPI*)(HDC)>("gdi32.dll", "CreateCompatibleDC");
const auto realDeleteDC = real<BOOL(WINAPI*)(HDC)>("gdi32.dll", "DeleteDC");
const auto realCreateDIBSection =
    real<HBITMAP(WINAPI*)(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD)>("gdi32.dll", "CreateDIBSection");
const auto realDeleteObject = real<BOOL(WINAPI*)(HGDIOBJ)>("gdi32.dll", "DeleteObject");
const auto realGetDC = real<HDC(WINAPI*)(HWND)>("user32.dll", "GetDC");
const auto realReleaseDC = real<int(WINAPI*)(HWND, HDC)>("user32.dll", "ReleaseDC");
const auto realCreateWindowExW =
    real<HWND(WINAPI*)(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, LPVOID)>(
        "user32.dll", "CreateWindowExW");
const auto realDestroyWindow = real<BOOL(WINAPI*)(HWND)>("user32.dll", "DestroyWindow");
const auto realSetTimer = real<UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC)>("user32.dll", "SetTimer");
const auto realKillTimer = real<BOOL(WINAPI*)(HWND, UINT_PTR)>("user32.dll", "KillTimer");

void made(long& made, long& live, bool success)
{
    if (success) {
        ++made;
        ++live;
    }
}

HDC WINAPI countedCreateCompatibleDC(HDC dc)
{
    HDC result = realCreateCompatibleDC(dc);
    made(counts.gdiMade, counts.gdiLive, result != nullptr);
    return result;
}
BOOL WINAPI countedDeleteDC(HDC dc)
{
    const BOOL result = realDeleteDC(dc);
    counts.gdiLive -= result ? 1 : 0;
    return result;
}
HBITMAP WINAPI countedCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset)
{
    HBITMAP result = realCreateDIBSection(dc, info, usage, bits, section, offset);
    made(counts.gdiMade, counts.gdiLive, result != nullptr);
    return result;
}
BOOL WINAPI countedDeleteObject(HGDIOBJ object)
{
    const BOOL result = realDeleteObject(object);
    counts.gdiLive -= result ? 1 : 0;
    return result;
}
HDC WINAPI countedGetDC(HWND window)
{
    HDC result = realGetDC(window);
    made(counts.gdiMade, counts.gdiLive, result != nullptr);
    return result;
}
int WINAPI countedReleaseDC(HWND window, HDC dc)
{
    const int result = realReleaseDC(window, dc);
    counts.gdiLive -= result ? 1 : 0;
    return result;
}
HWND WINAPI countedCreateWindowExW(DWORD style, LPCWSTR className, LPCWSTR name, DWORD windowStyle, int x, int y,
                                   int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter)
{
    HWND result = realCreateWindowExW(style, className, name, windowStyle, x, y, width, height, parent, menu, instance,
                                      parameter);
    made(counts.userMade, counts.userLive, result != nullptr);
    return result;
}
BOOL WINAPI countedDestroyWindow(HWND window)
{
    const BOOL result = realDestroyWindow(window);
    counts.userLive -= result ? 1 : 0;
    return result;
}
UINT_PTR WINAPI countedSetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure)
{
    const UINT_PTR result = realSetTimer(window, id, elapse, procedure);
    made(counts.userMade, counts.userLive, result != 0);
    return result;
}
BOOL WINAPI countedKillTimer(HWND window, UINT_PTR id)
{
    const BOOL result = realKillTimer(window, id);
    counts.userLive -= result ? 1 : 0;
    return result;
}

} // namespace

void countObjectsOf(HMODULE module)
{
    counts = {};
    const ImportRedirection gdi[] = {
        {reinterpret_cast<void*>(realCreateCompatibleDC), reinterpret_cast<void*>(&countedCreateCompatibleDC)},
        {reinterpret_cast<void*>(realDeleteDC), reinterpret_cast<void*>(&countedDeleteDC)},
        {reinterpret_cast<void*>(realCreateDIBSection), reinterpret_cast<void*>(&countedCreateDIBSection)},
        {reinterpret_cast<void*>(realDeleteObject), reinterpret_cast<void*>(&countedDeleteObject)},
    };
    const ImportRedirection user[] = {
        {reinterpret_cast<void*>(realGetDC), reinterpret_cast<void*>(&countedGetDC)},
        {reinterpret_cast<void*>(realReleaseDC), reinterpret_cast<void*>(&countedReleaseDC)},
        {reinterpret_cast<void*>(realCreateWindowExW), reinterpret_cast<void*>(&countedCreateWindowExW)},
        {reinterpret_cast<void*>(realDestroyWindow), reinterpret_cast<void*>(&countedDestroyWindow)},
        {reinterpret_cast<void*>(realSetTimer), reinterpret_cast<void*>(&countedSetTimer)},
        {reinterpret_cast<void*>(realKillTimer), reinterpret_cast<void*>(&countedKillTimer)},
    };
    redirectImports(module, "gdi32.dll", gdi, std::size(gdi));
    redirectImports(module, "user32.dll", user, std::size(user));
}

ObjectCounts objectCounts() { return counts; }

} // namespace tarvel::test
