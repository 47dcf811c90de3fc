// A Windows plug-in DLL links its own C++ runtime, whose operator new ends in
// the DLL's imports of msvcrt's malloc family, out of reach of the test
// program's replaced operators. Before each counted scope, those imports of
// every loaded *.vst3 module are pointed at counting wrappers, so the
// allocation tests see the module's allocations as they do on Linux.

#include "support/allocation_counter.h"
#include "support/platform/import_redirect_windows.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cctype>
#include <cstring>
#include <iterator>
#include <string>

namespace tarvel::test {

namespace {

using Malloc = void*(__cdecl*)(std::size_t);
using Calloc = void*(__cdecl*)(std::size_t, std::size_t);
using Realloc = void*(__cdecl*)(void*, std::size_t);
using Free = void(__cdecl*)(void*);

template <typename Function>
Function runtimeFunction(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("msvcrt.dll"), name)));
}

const Malloc realMalloc = runtimeFunction<Malloc>("malloc");
const Calloc realCalloc = runtimeFunction<Calloc>("calloc");
const Realloc realRealloc = runtimeFunction<Realloc>("realloc");
const Free realFree = runtimeFunction<Free>("free");

void* __cdecl countedMalloc(std::size_t size)
{
    noteAllocation();
    return realMalloc(size);
}

void* __cdecl countedCalloc(std::size_t count, std::size_t size)
{
    noteAllocation();
    return realCalloc(count, size);
}

void* __cdecl countedRealloc(void* block, std::size_t size)
{
    noteAllocation();
    return realRealloc(block, size);
}

void __cdecl countedFree(void* block)
{
    if (block)
        noteDeallocation();
    realFree(block);
}

bool endsWith(const char* name, const char* suffix)
{
    const std::size_t length = std::strlen(name);
    const std::size_t suffixLength = std::strlen(suffix);
    if (length < suffixLength)
        return false;
    std::string tail(name + length - suffixLength);
    for (char& c : tail)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return tail == suffix;
}

// The module as VST 3 and VST 2 hosts load it, and under its CLAP name.
bool isModuleFile(const char* name)
{
    return endsWith(name, ".vst3") || endsWith(name, ".clap");
}

void redirectImports(HMODULE module)
{
    const ImportRedirection redirections[] = {
        {reinterpret_cast<void*>(realMalloc), reinterpret_cast<void*>(&countedMalloc)},
        {reinterpret_cast<void*>(realCalloc), reinterpret_cast<void*>(&countedCalloc)},
        {reinterpret_cast<void*>(realRealloc), reinterpret_cast<void*>(&countedRealloc)},
        {reinterpret_cast<void*>(realFree), reinterpret_cast<void*>(&countedFree)}};
    tarvel::test::redirectImports(module, "msvcrt.dll", redirections, std::size(redirections));
}

void watchLoadedModules()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry))
        if (isModuleFile(entry.szModule))
            redirectImports(entry.hModule);
    CloseHandle(snapshot);
}

const bool installed = (beforeCounting = &watchLoadedModules, true);

} // namespace

} // namespace tarvel::test
