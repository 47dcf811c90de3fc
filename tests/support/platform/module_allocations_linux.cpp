// The Linux module links its own C++ runtime and keeps it hidden, so its
// operator new is out of reach of the test program's replaced operators and
// ends in the module's own imports of the C library's allocator. Before each
// counted scope, those imports of every loaded Tarvel64.so are pointed at
// counting wrappers, so the allocation tests see the module's allocations.

#include "support/allocation_counter.h"

#include <elf.h>
#include <link.h>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace tarvel::test {

namespace {

void* countedMalloc(std::size_t size)
{
    noteAllocation();
    return std::malloc(size);
}

void* countedCalloc(std::size_t count, std::size_t size)
{
    noteAllocation();
    return std::calloc(count, size);
}

void* countedRealloc(void* block, std::size_t size)
{
    noteAllocation();
    return std::realloc(block, size);
}

void* countedAlignedAlloc(std::size_t alignment, std::size_t size)
{
    noteAllocation();
    return std::aligned_alloc(alignment, size);
}

int countedPosixMemalign(void** block, std::size_t alignment, std::size_t size)
{
    noteAllocation();
    return ::posix_memalign(block, alignment, size);
}

void* countedMemalign(std::size_t alignment, std::size_t size)
{
    noteAllocation();
    return ::memalign(alignment, size);
}

void countedFree(void* block)
{
    if (block)
        noteDeallocation();
    std::free(block);
}

void* countingReplacement(const char* name)
{
    const struct {
        const char* name;
        void* counted;
    } table[] = {{"malloc", reinterpret_cast<void*>(&countedMalloc)},
                 {"calloc", reinterpret_cast<void*>(&countedCalloc)},
                 {"realloc", reinterpret_cast<void*>(&countedRealloc)},
                 {"aligned_alloc", reinterpret_cast<void*>(&countedAlignedAlloc)},
                 {"posix_memalign", reinterpret_cast<void*>(&countedPosixMemalign)},
                 {"memalign", reinterpret_cast<void*>(&countedMemalign)},
                 {"free", reinterpret_cast<void*>(&countedFree)}};
    for (const auto& entry : table)
        if (std::strcmp(entry.name, name) == 0)
            return entry.counted;
    return nullptr;
}

bool isModule(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    const char* name = slash ? slash + 1 : path;
    // The same module under its CLAP name.
    return std::strcmp(name, "Tarvel64.so") == 0 || std::strcmp(name, "Tarvel64.clap") == 0;
}

// The relocations through which the loader writes a function's address into
// the module's global offset table: one per architecture's numbering.
#if defined(__aarch64__)
constexpr auto jumpSlotRelocation = R_AARCH64_JUMP_SLOT;
constexpr auto globalDataRelocation = R_AARCH64_GLOB_DAT;
#else
constexpr auto jumpSlotRelocation = R_X86_64_JUMP_SLOT;
constexpr auto globalDataRelocation = R_X86_64_GLOB_DAT;
#endif

// The loader relocates most address entries of the dynamic section in
// place; one it left alone is still relative to the load address.
template <typename T>
T* address(ElfW(Addr) value, ElfW(Addr) base)
{
    return reinterpret_cast<T*>(value < base ? value + base : value);
}

void redirect(ElfW(Addr) base, const ElfW(Rela)* relocations, std::size_t bytes, const ElfW(Sym)* symbols,
              const char* names)
{
    const long page = sysconf(_SC_PAGESIZE);
    for (std::size_t i = 0; i < bytes / sizeof(ElfW(Rela)); ++i) {
        const ElfW(Rela)& relocation = relocations[i];
        const auto type = ELF64_R_TYPE(relocation.r_info);
        if (type != jumpSlotRelocation && type != globalDataRelocation)
            continue;
        void* counted = countingReplacement(names + symbols[ELF64_R_SYM(relocation.r_info)].st_name);
        if (!counted)
            continue;
        auto* slot = reinterpret_cast<void**>(base + relocation.r_offset);
        if (*slot == counted)
            continue;
        // Slots resolved at load time sit in pages made read-only afterwards.
        auto* first = reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(slot) & ~std::uintptr_t(page - 1));
        if (mprotect(first, std::size_t(page), PROT_READ | PROT_WRITE) == 0)
            *slot = counted;
    }
}

int redirectImports(dl_phdr_info* info, std::size_t, void*)
{
    if (!info->dlpi_name || !isModule(info->dlpi_name))
        return 0;
    const ElfW(Addr) base = info->dlpi_addr;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        if (info->dlpi_phdr[i].p_type != PT_DYNAMIC)
            continue;
        const ElfW(Sym)* symbols = nullptr;
        const char* names = nullptr;
        const ElfW(Rela)* plt = nullptr;
        const ElfW(Rela)* data = nullptr;
        std::size_t pltBytes = 0, dataBytes = 0;
        for (const auto* entry = reinterpret_cast<const ElfW(Dyn)*>(base + info->dlpi_phdr[i].p_vaddr);
             entry->d_tag != DT_NULL; ++entry) {
            switch (entry->d_tag) {
            case DT_SYMTAB:
                symbols = address<const ElfW(Sym)>(entry->d_un.d_ptr, base);
                break;
            case DT_STRTAB:
                names = address<const char>(entry->d_un.d_ptr, base);
                break;
            case DT_JMPREL:
                plt = address<const ElfW(Rela)>(entry->d_un.d_ptr, base);
                break;
            case DT_PLTRELSZ:
                pltBytes = entry->d_un.d_val;
                break;
            case DT_RELA:
                data = address<const ElfW(Rela)>(entry->d_un.d_ptr, base);
                break;
            case DT_RELASZ:
                dataBytes = entry->d_un.d_val;
                break;
            default:
                break;
            }
        }
        if (!symbols || !names)
            continue;
        if (plt)
            redirect(base, plt, pltBytes, symbols, names);
        if (data)
            redirect(base, data, dataBytes, symbols, names);
    }
    return 0;
}

void watchLoadedModules() { dl_iterate_phdr(redirectImports, nullptr); }

const bool installed = (beforeCounting = &watchLoadedModules, true);

} // namespace

} // namespace tarvel::test
