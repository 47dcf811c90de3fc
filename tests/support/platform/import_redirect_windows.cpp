#include "support/platform/import_redirect_windows.h"

namespace tarvel::test {

void redirectImports(HMODULE module, const char* library, const ImportRedirection* redirections, std::size_t count)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.Size == 0)
        return;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name != 0;
         ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), library) != 0)
            continue;
        for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA64*>(base + entry->FirstThunk); thunk->u1.Function; ++thunk)
            for (std::size_t i = 0; i < count; ++i) {
                ULONGLONG& slot = thunk->u1.Function;
                if (slot != reinterpret_cast<ULONGLONG>(redirections[i].real))
                    continue;
                DWORD previous = 0;
                if (VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &previous)) {
                    slot = reinterpret_cast<ULONGLONG>(redirections[i].replacement);
                    VirtualProtect(&slot, sizeof slot, previous, &previous);
                }
            }
    }
}

} // namespace tarvel::test
