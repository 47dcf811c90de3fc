#include "tools/host/platform/win32_host_window.h"

#include <windows.h>

#include <stdexcept>
#include <utility>

namespace tarvel::host {

namespace {

// Key messages that reached a host window, with the window they reached.
std::vector<std::pair<HWND, Win32HostWindow::KeyMessage>> keyMessages;

LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((message >= WM_KEYFIRST && message <= WM_KEYLAST))
        keyMessages.push_back({window, {message, wParam}});
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* hostClassName()
{
    static const bool registered = [] {
        WNDCLASSEXW description{};
        description.cbSize = sizeof description;
        description.lpfnWndProc = hostProcedure;
        description.hInstance = GetModuleHandleW(nullptr);
        description.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        description.lpszClassName = L"TarvelHarnessHostWindow";
        return RegisterClassExW(&description) != 0;
    }();
    return registered ? L"TarvelHarnessHostWindow" : nullptr;
}

WPARAM keyState(int button)
{
    return button == 1 ? MK_LBUTTON : button == 3 ? MK_RBUTTON : button == 2 ? MK_MBUTTON : 0;
}

} // namespace

Win32HostWindow::Win32HostWindow(int width, int height, int x, int y)
    : window(CreateWindowExW(0, hostClassName(), L"Tarvel host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width,
                             height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr))
{
    if (!window)
        throw std::runtime_error("cannot make the host window");
    pump(std::chrono::milliseconds(50));
}

Win32HostWindow::~Win32HostWindow() { DestroyWindow(window); }

void* Win32HostWindow::parent() const { return window; }

HWND Win32HostWindow::child() const { return GetWindow(window, GW_CHILD); }

void Win32HostWindow::pump(std::chrono::milliseconds duration, const std::function<bool()>& done)
{
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end && !(done && done())) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

std::vector<std::uint32_t> Win32HostWindow::capture(int x, int y, int width, int height) const
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC windowDC = GetDC(window);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memoryDC, bitmap);
    // The host window's DC with its children: what the screen shows there.
    HDC screen = GetDCEx(window, nullptr, DCX_WINDOW | DCX_CACHE);
    BitBlt(memoryDC, 0, 0, width, height, screen, x, y, SRCCOPY);
    ReleaseDC(window, screen);
    std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                      static_cast<const std::uint32_t*>(bits) + std::size_t(width) * std::size_t(height));
    for (std::uint32_t& pixel : pixels)
        pixel |= 0xFF000000u;
    SelectObject(memoryDC, previous);
    DeleteObject(bitmap);
    DeleteDC(memoryDC);
    ReleaseDC(window, windowDC);
    return pixels;
}

void Win32HostWindow::press(int x, int y, int button)
{
    const UINT message = button == 1 ? WM_LBUTTONDOWN : button == 3 ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
    SendMessageW(child(), message, keyState(button), MAKELPARAM(x, y));
}

void Win32HostWindow::moveTo(int x, int y, int heldButton)
{
    SendMessageW(child(), WM_MOUSEMOVE, keyState(heldButton), MAKELPARAM(x, y));
}

void Win32HostWindow::release(int x, int y, int button)
{
    const UINT message = button == 1 ? WM_LBUTTONUP : button == 3 ? WM_RBUTTONUP : WM_MBUTTONUP;
    SendMessageW(child(), message, 0, MAKELPARAM(x, y));
}

void Win32HostWindow::wheel(int x, int y, int notches)
{
    // Wheel messages carry screen coordinates.
    POINT point{x, y};
    ClientToScreen(child(), &point);
    SendMessageW(child(), WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA), MAKELPARAM(point.x, point.y));
}

void Win32HostWindow::key(unsigned int virtualKey, bool control)
{
    BYTE keys[256]{};
    GetKeyboardState(keys);
    const BYTE before = keys[VK_CONTROL];
    if (control) {
        keys[VK_CONTROL] |= 0x80;
        SetKeyboardState(keys);
    }
    HWND focus = GetFocus();
    const LPARAM scan = LPARAM(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(focus, WM_KEYDOWN, virtualKey, scan | 1);
    pump(std::chrono::milliseconds(30));
    PostMessageW(focus, WM_KEYUP, virtualKey, scan | 1 | (LPARAM(1) << 30) | (LPARAM(1) << 31));
    pump(std::chrono::milliseconds(30));
    if (control) {
        keys[VK_CONTROL] = before;
        SetKeyboardState(keys);
    }
}

std::vector<Win32HostWindow::KeyMessage> Win32HostWindow::keysReceived()
{
    std::vector<KeyMessage> received;
    std::vector<std::pair<HWND, KeyMessage>> others;
    for (const auto& [target, message] : keyMessages) {
        if (target == window)
            received.push_back(message);
        else
            others.push_back({target, message});
    }
    keyMessages.swap(others);
    return received;
}

} // namespace tarvel::host
