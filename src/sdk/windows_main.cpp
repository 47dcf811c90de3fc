// The Windows library's DllMain, as the SDK's standard one behaves: on
// process attach it records the module handle (the GUI toolkit and resource
// loading need it) and the folder the library was loaded from. It never
// refuses the load; the plug-in's own start-up work waits for InitDll.

#include <windows.h>

#include <string>

#include "sdk/module_entry.h"

namespace {

std::string folderOf(HMODULE module)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        // Truncated: long paths (\\?\ prefixes) go up to 32767 characters.
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
    path.resize(path.find_last_of(L"\\/") + 1);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string folder(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), folder.data(), bytes, nullptr,
                            nullptr);
    return folder;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        moduleHandle = instance;
        try {
            moduleFolder = folderOf(instance);
        } catch (...) {
            // Out of memory while the loader holds its lock: the folder stays
            // unknown rather than failing the load.
            moduleFolder.clear();
        }
    }
    return TRUE;
}
