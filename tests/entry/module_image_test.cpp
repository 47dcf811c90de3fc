// The built DLL as Windows and its hosts see it: the export directory's
// module name and exact export names, the version resource, and imports
// from system DLLs only (the C++ runtime is linked in).

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

namespace {

// Mapped as an image without running DllMain or resolving imports, so the
// headers can be read as the loader lays them out.
class ModuleImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = LoadLibraryExA(TARVEL_MODULE_PATH, nullptr, DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_NE(module, nullptr) << "cannot map " << TARVEL_MODULE_PATH << ": error " << GetLastError();
        base = reinterpret_cast<const BYTE*>(module);
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
        nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
        ASSERT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
    }
    void TearDown() override
    {
        if (module)
            FreeLibrary(module);
    }

    const IMAGE_DATA_DIRECTORY& directory(int index) const { return nt->OptionalHeader.DataDirectory[index]; }
    template <typename T>
    const T* at(DWORD rva) const { return reinterpret_cast<const T*>(base + rva); }

    HMODULE module = nullptr;
    const BYTE* base = nullptr;
    const IMAGE_NT_HEADERS64* nt = nullptr;
};

TEST_F(ModuleImage, IsA64BitDll)
{
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_TRUE(nt->FileHeader.Characteristics & IMAGE_FILE_DLL);
    EXPECT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
}

TEST_F(ModuleImage, ExportsExactlyTheEntryPointsByUndecoratedNameUnderTheModuleName)
{
    ASSERT_GT(directory(IMAGE_DIRECTORY_ENTRY_EXPORT).Size, 0u);
    const auto* exports = at<IMAGE_EXPORT_DIRECTORY>(directory(IMAGE_DIRECTORY_ENTRY_EXPORT).VirtualAddress);
    EXPECT_STREQ(at<char>(exports->Name), "Tarvel64.vst3");

    std::set<std::string> names;
    const auto* nameTable = at<DWORD>(exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.insert(at<char>(nameTable[i]));
    std::set<std::string> expected = {"ExitDll", "GetPluginFactory", "InitDll"};
#ifdef TARVEL_EXPECT_VST2_ENTRY
    expected.insert({"VSTPluginMain", "main"});
#endif
    // CLAP hosts look the entry record up by name too.
    expected.insert("clap_entry");
    EXPECT_EQ(names, expected);
    EXPECT_EQ(exports->NumberOfFunctions, expected.size()) << "nothing exported by ordinal only";
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

TEST_F(ModuleImage, ImportsOnlySystemDlls)
{
    const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll",  "gdiplus.dll",
                                          "ole32.dll",    "oleaut32.dll", "shell32.dll", "advapi32.dll",
                                          "msvcrt.dll",   "comdlg32.dll", "winspool.drv", "uuid.dll"};
    ASSERT_GT(directory(IMAGE_DIRECTORY_ENTRY_IMPORT).Size, 0u);
    std::vector<std::string> imported;
    for (const auto* entry = at<IMAGE_IMPORT_DESCRIPTOR>(directory(IMAGE_DIRECTORY_ENTRY_IMPORT).VirtualAddress);
         entry->Name != 0; ++entry)
        imported.push_back(lower(at<char>(entry->Name)));
    EXPECT_NE(std::find(imported.begin(), imported.end(), "gdiplus.dll"), imported.end());
    for (const std::string& name : imported)
        EXPECT_TRUE(system.count(name)) << name << " is not a system DLL (a runtime left unlinked?)";
}

class VersionResource : public ::testing::Test {
protected:
    void SetUp() override
    {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(TARVEL_MODULE_PATH, &ignored);
        ASSERT_GT(size, 0u) << "no version resource";
        data.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(TARVEL_MODULE_PATH, 0, size, data.data()));
    }

    std::string text(const char* name)
    {
        char* value = nullptr;
        UINT length = 0;
        const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
            return "<missing>";
        return std::string(value, length && value[length - 1] == '\0' ? length - 1 : length);
    }

    std::vector<BYTE> data;
};

TEST_F(VersionResource, StatesVersion114AsNumbersAndText)
{
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(info->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info->dwFileVersionMS, (1u << 16) | 1u);
    EXPECT_EQ(info->dwFileVersionLS, 4u << 16);
    EXPECT_EQ(info->dwProductVersionMS, (1u << 16) | 1u);
    EXPECT_EQ(info->dwProductVersionLS, 4u << 16);
    EXPECT_EQ(info->dwFileType, DWORD(VFT_DLL));
    EXPECT_EQ(text("FileVersion"), "1.1.4");
    EXPECT_EQ(text("ProductVersion"), "1.1.4");
}

TEST_F(VersionResource, NamesTheProduct)
{
    EXPECT_EQ(text("ProductName"), "Tarvel");
    EXPECT_EQ(text("FileDescription"), "Tarvel");
    EXPECT_EQ(text("InternalName"), "Tarvel");
    EXPECT_EQ(text("OriginalFilename"), "Tarvel.vst3");
}

} // namespace
