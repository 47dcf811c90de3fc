#include "toolkit/win32/win32_frame.h"

#include "toolkit/back_buffer_copy.h"
#include "toolkit/cframe.h"
#include "toolkit/cvstguitimer.h"
#include "toolkit/win32/win32_input.h"

#include <windows.h>
#include <windowsx.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace VSTGUI {

std::unique_ptr<IPlatformFrame> makePlatformFrame(CFrame& frame, void* parent, PlatformType type,
                                                  IPlatformFrameConfig*)
{
    if (type != PlatformType::kDefaultNative && type != PlatformType::kHWND)
        return nullptr;
    return Win32::Frame::create(frame, static_cast<HWND>(parent));
}

namespace Win32 {

namespace {

// The module this code is linked into: the plug-in's DLL, not the host.
HINSTANCE moduleInstance()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&moduleInstance), &module);
    return module;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* frame = reinterpret_cast<Frame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!frame)
        return DefWindowProcW(window, message, wParam, lParam);
    return LRESULT(frame->handle(message, wParam, lParam));
}

// Registered on first use, unregistered when the module unloads (its
// static objects go then), so a newer copy of the module loaded later in
// the same host registers a class of its own.
class WindowClass {
public:
    WindowClass() : instance(moduleInstance())
    {
        name = L"VSTGUIFrame" + std::to_wstring(reinterpret_cast<std::uintptr_t>(instance));
        WNDCLASSEXW description{};
        description.cbSize = sizeof description;
        description.style = CS_DBLCLKS;
        description.lpfnWndProc = windowProcedure;
        description.hInstance = instance;
        description.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        description.lpszClassName = name.c_str();
        registered = RegisterClassExW(&description) != 0;
    }
    ~WindowClass()
    {
        if (registered)
            UnregisterClassW(name.c_str(), instance);
    }
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;

    HINSTANCE instance;
    std::wstring name;
    bool registered = false;
};

WindowClass& windowClass()
{
    static WindowClass theClass;
    return theClass;
}

constexpr UINT_PTR timerId = 1;

CPoint clientPoint(LPARAM lParam) { return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); }

} // namespace

const wchar_t* windowClassName() { return windowClass().name.c_str(); }

std::unique_ptr<Frame> Frame::create(CFrame& frame, HWND parent)
{
    if (!parent || !IsWindow(parent))
        return nullptr;
    WindowClass& theClass = windowClass();
    if (!theClass.registered)
        return nullptr;
    const CRect size = frame.getDeviceSize();
    HWND window = CreateWindowExW(0, theClass.name.c_str(), L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                  0, 0, int(size.getWidth()), int(size.getHeight()), parent, nullptr,
                                  theClass.instance, nullptr);
    if (!window)
        return nullptr;
    return std::unique_ptr<Frame>(new Frame(frame, window));
}

Frame::Frame(CFrame& owner, HWND handle) : frame(owner), window(handle)
{
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    makeSurface();
    SetTimer(window, timerId, timerInterval, nullptr);
}

Frame::~Frame()
{
    KillTimer(window, timerId);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (capturing)
        ReleaseCapture();
    DestroyWindow(window);
    if (surfaceDC) {
        SelectObject(surfaceDC, previousBitmap);
        DeleteDC(surfaceDC);
    }
    if (surface)
        DeleteObject(surface);
}

void* Frame::getNativeHandle() const { return window; }

double Frame::getNativeScale() const
{
    // GetDpiForWindow is on Windows 10 from 1607; before, the screen's DPI.
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow =
        reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    UINT dpi = dpiForWindow ? dpiForWindow(GetParent(window)) : 0;
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        dpi = UINT(GetDeviceCaps(screen, LOGPIXELSX));
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

// A top-down 32-bit surface the back buffer's changes are copied into and
// WM_PAINT copies from.
void Frame::makeSurface()
{
    if (surfaceDC) {
        SelectObject(surfaceDC, previousBitmap);
        DeleteDC(surfaceDC);
        surfaceDC = nullptr;
    }
    if (surface) {
        DeleteObject(surface);
        surface = nullptr;
    }
    const CRect size = frame.getDeviceSize();
    surfaceWidth = int(size.getWidth());
    surfaceHeight = int(size.getHeight());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = surfaceWidth;
    info.bmiHeader.biHeight = -surfaceHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC windowDC = GetDC(window);
    surfaceDC = CreateCompatibleDC(windowDC);
    surface = CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &surfaceBits, nullptr, 0);
    ReleaseDC(window, windowDC);
    if (surfaceDC && surface)
        previousBitmap = static_cast<HBITMAP>(SelectObject(surfaceDC, surface));
}

void Frame::copyToSurface(const CRect& area)
{
    const std::uint8_t* pixels = frame.getBackBufferPixels();
    const PixelArea inside = pixelsInside(area, surfaceWidth, surfaceHeight);
    if (!pixels || !surfaceBits || frame.getBackBufferStride() != surfaceWidth * 4 || inside.empty())
        return;
    copyRows(pixels, frame.getBackBufferStride(), static_cast<std::uint8_t*>(surfaceBits), surfaceWidth * 4, inside);
    RECT invalid{inside.left, inside.top, inside.right, inside.bottom};
    InvalidateRect(window, &invalid, FALSE);
}

void Frame::update()
{
    for (const CRect& area : frame.renderInvalid())
        copyToSurface(area);
}

void Frame::setSize(const CRect& size)
{
    SetWindowPos(window, nullptr, 0, 0, int(size.getWidth()), int(size.getHeight()),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    makeSurface();
    frame.invalid();
    update();
}

long long Frame::handle(unsigned int message, unsigned long long wParam, long long lParam)
{
    switch (message) {
    case WM_PAINT: {
        update();
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        const RECT& r = paint.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, surfaceDC, r.left, r.top, SRCCOPY);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1; // the paint covers everything: no flicker
    case WM_TIMER:
        if (wParam == timerId) {
            CVSTGUITimer::fireDueTimers();
            frame.idle();
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: {
        const std::int32_t button = message <= WM_LBUTTONDBLCLK   ? kLButton
                                    : message <= WM_RBUTTONDBLCLK ? kRButton
                                                                  : kMButton;
        const bool doubleClick = message == WM_LBUTTONDBLCLK || message == WM_MBUTTONDBLCLK || message == WM_RBUTTONDBLCLK;
        SetCapture(window);
        capturing = true;
        CPoint where = frame.deviceToFrame(clientPoint(LPARAM(lParam)));
        frame.onMouseDown(where, button | currentModifiers() | (doubleClick ? kDoubleClick : 0));
        // The keyboard only for a click on something that takes keys; keys
        // the frame does not use go on to the host either way.
        if (frame.isFocusViewAt(where))
            SetFocus(window);
        frame.idle();
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP: {
        const std::int32_t button = message == WM_LBUTTONUP ? kLButton : message == WM_RBUTTONUP ? kRButton : kMButton;
        CPoint where = frame.deviceToFrame(clientPoint(LPARAM(lParam)));
        frame.onMouseUp(where, button | currentModifiers());
        if (!(wParam & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON)) && capturing) {
            capturing = false;
            ReleaseCapture();
        }
        frame.idle();
        return 0;
    }
    case WM_MOUSEMOVE: {
        CPoint where = frame.deviceToFrame(clientPoint(LPARAM(lParam)));
        frame.onMouseMoved(where, buttonsFromKeyState(wParam));
        frame.idle();
        return 0;
    }
    case WM_CAPTURECHANGED:
        // Taken away mid-drag (another window, a dialog): the drag is over.
        if (capturing && reinterpret_cast<HWND>(lParam) != window) {
            capturing = false;
            frame.onMouseCancel();
            frame.idle();
        }
        return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: {
        // Wheel positions come in screen coordinates.
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(window, &point);
        const float distance = float(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA;
        const CPoint where = frame.deviceToFrame(CPoint(point.x, point.y));
        const bool used = frame.onWheel(where, message == WM_MOUSEWHEEL ? kMouseWheelAxisY : kMouseWheelAxisX, distance,
                                        currentModifiers());
        frame.idle();
        if (used)
            return 0;
        break;
    }
    case WM_KEYDOWN:
    case WM_KEYUP: {
        VstKeyCode code = keyCodeFromVirtualKey(wParam);
        std::int32_t used = -1;
        if (code.virt != 0) {
            used = message == WM_KEYDOWN ? frame.onKeyDown(code) : frame.onKeyUp(code);
            frame.idle();
        }
        if (message == WM_KEYDOWN)
            keyDownForwarded = used != 1;
        if (used == 1)
            return 0;
        return forwardToHost(message, wParam, lParam);
    }
    case WM_CHAR:
        // The character of a key press that went to the host follows it.
        if (!keyDownForwarded)
            return 0;
        return forwardToHost(message, wParam, lParam);
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
        return forwardToHost(message, wParam, lParam); // Alt and F10: the host's menus
    case WM_GETDLGCODE:
        // Escape too while a drag can be cancelled; Enter and the rest stay
        // with a dialog-based host.
        return DLGC_WANTARROWS | DLGC_WANTTAB | (capturing ? DLGC_WANTALLKEYS : 0);
    default:
        break;
    }
    return DefWindowProcW(window, message, WPARAM(wParam), LPARAM(lParam));
}

long long Frame::forwardToHost(unsigned int message, unsigned long long wParam, long long lParam)
{
    HWND host = GetParent(window);
    // A host that hands keys back to its focused child would bounce them
    // between the two.
    if (!host || forwardingKey)
        return DefWindowProcW(window, message, WPARAM(wParam), LPARAM(lParam));
    forwardingKey = true;
    const LRESULT result = SendMessageW(host, message, WPARAM(wParam), LPARAM(lParam));
    forwardingKey = false;
    return result;
}

} // namespace Win32
} // namespace VSTGUI
