// The built Linux module as a host's loader sees it, read from the file: the
// libraries it needs are ones every Linux desktop has (the C++ runtime and
// libgcc are linked in), and it exports exactly the entry points.

#include <elf.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

// The processor type in the ELF header, and the program loader every
// dynamically linked program of that architecture names.
#if defined(__aarch64__)
constexpr Elf64_Half thisMachine = EM_AARCH64;
constexpr const char* programLoader = "ld-linux-aarch64.so.1";
#else
constexpr Elf64_Half thisMachine = EM_X86_64;
constexpr const char* programLoader = "ld-linux-x86-64.so.2";
#endif

class ModuleImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::ifstream file(TARVEL_MODULE_PATH, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(file), {});
        ASSERT_GT(bytes.size(), sizeof(Elf64_Ehdr)) << TARVEL_MODULE_PATH;
        header = at<Elf64_Ehdr>(0);
        ASSERT_EQ(std::memcmp(header->e_ident, ELFMAG, SELFMAG), 0);
        ASSERT_EQ(header->e_ident[EI_CLASS], ELFCLASS64);
        ASSERT_EQ(header->e_type, ET_DYN);
        // Built for the processor this test was built for (a cross build
        // that picked up a build-machine object would not link, but one that
        // fell back to the build machine's compiler would).
        ASSERT_EQ(header->e_machine, thisMachine);
        ASSERT_LE(header->e_shoff + std::size_t(header->e_shnum) * sizeof(Elf64_Shdr), bytes.size());
    }

    template <typename T>
    const T* at(std::size_t offset) const
    {
        return offset + sizeof(T) <= bytes.size() ? reinterpret_cast<const T*>(bytes.data() + offset) : nullptr;
    }
    const Elf64_Shdr& section(std::size_t index) const
    {
        return *at<Elf64_Shdr>(header->e_shoff + index * sizeof(Elf64_Shdr));
    }
    std::string text(const Elf64_Shdr& strings, std::size_t offset) const
    {
        return offset < strings.sh_size ? std::string(bytes.data() + strings.sh_offset + offset) : std::string();
    }
    template <typename Entry, typename Visit>
    void eachEntry(Elf64_Word type, Visit visit) const
    {
        for (std::size_t i = 0; i < header->e_shnum; ++i) {
            const Elf64_Shdr& table = section(i);
            if (table.sh_type != type)
                continue;
            const Elf64_Shdr& strings = section(table.sh_link);
            for (std::size_t offset = 0; offset + sizeof(Entry) <= table.sh_size; offset += sizeof(Entry))
                visit(*at<Entry>(table.sh_offset + offset), strings);
        }
    }

    std::vector<char> bytes;
    const Elf64_Ehdr* header = nullptr;
};

TEST_F(ModuleImage, NeedsOnlyLibrariesEveryLinuxDesktopHas)
{
    std::set<std::string> needed;
    eachEntry<Elf64_Dyn>(SHT_DYNAMIC, [&](const Elf64_Dyn& entry, const Elf64_Shdr& strings) {
        if (entry.d_tag == DT_NEEDED)
            needed.insert(text(strings, entry.d_un.d_val));
    });
    std::set<std::string> allowed = {"libc.so.6",     "libm.so.6",        programLoader,         "libX11.so.6",
                                     "libcairo.so.2", "libfreetype.so.6", "libfontconfig.so.1"};
#ifdef TARVEL_SANITIZED
    allowed.insert({"libasan.so.8", "libubsan.so.1", "libtsan.so.2"});
#endif
    EXPECT_TRUE(needed.count("libc.so.6"));
    for (const std::string& library : needed)
        EXPECT_TRUE(allowed.count(library)) << library << " is not on every Linux desktop";
}

TEST_F(ModuleImage, ExportsOnlyTheEntryPoints)
{
    std::set<std::string> exported;
    eachEntry<Elf64_Sym>(SHT_DYNSYM, [&](const Elf64_Sym& symbol, const Elf64_Shdr& strings) {
        const unsigned binding = ELF64_ST_BIND(symbol.st_info);
        if (symbol.st_shndx != SHN_UNDEF && (binding == STB_GLOBAL || binding == STB_WEAK))
            exported.insert(text(strings, symbol.st_name));
    });
    const std::set<std::string> entryPoints = {"GetPluginFactory", "InitDll", "ExitDll", "ModuleEntry",
                                               "ModuleExit",       "VSTPluginMain", "main",
                                               "clap_entry",       "lv2_descriptor",
                                               "lv2ui_descriptor"};
    EXPECT_EQ(exported, entryPoints);
}

// The engine's per-frame reference forms serve the tests and benchmarks
// only: the module's own symbol table (local symbols included) has none of
// them, while the chunked path they are the reference for is there.
TEST_F(ModuleImage, CarriesTheEngineButNotItsPerFrameReferenceForms)
{
    std::vector<std::string> engineSymbols;
    eachEntry<Elf64_Sym>(SHT_SYMTAB, [&](const Elf64_Sym& symbol, const Elf64_Shdr& strings) {
        const std::string name = text(strings, symbol.st_name);
        if (symbol.st_shndx != SHN_UNDEF && name.find("tarvel") != std::string::npos)
            engineSymbols.push_back(name);
    });
    const auto defines = [&](const std::string& part) {
        for (const std::string& name : engineSymbols)
            if (name.find(part) != std::string::npos)
                return true;
        return false;
    };
    ASSERT_TRUE(defines("17RealtimeProcessor12processBlock")) << "no symbol table to read";
    ASSERT_TRUE(defines("12LoudnessCore12renderStereo"));
    for (const char* reference : {"17RealtimeProcessor20processBlockPerFrame", "21processFramesOneByOne",
                                  "17RealtimeProcessor17advanceParameters", "12LoudnessCore12processFrame",
                                  "18processStereoFrame", "19processGeneralFrame"})
        EXPECT_FALSE(defines(reference)) << reference;
}

} // namespace
