// DllMain on process attach, called as the loader calls it, here with this
// test program's own module in place of the plug-in's.

#include "sdk/module_entry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

bool InitModule() { return true; }
bool DeinitModule() { return true; }

namespace {

TEST(DllMain, RecordsTheModuleHandleAndItsFolderAndAlwaysSucceeds)
{
    HMODULE self = GetModuleHandleA(nullptr);
    moduleHandle = nullptr;
    moduleFolder.clear();
    EXPECT_TRUE(DllMain(self, DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(moduleHandle, self);

    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(self, path, MAX_PATH), 0u);
    const std::string expected = std::filesystem::path(path).parent_path().string() + "\\";
    EXPECT_EQ(moduleFolder, expected);
}

TEST(DllMain, LeavesTheRecordAloneOnOtherNotificationsAndSucceeds)
{
    HMODULE self = GetModuleHandleA(nullptr);
    ASSERT_TRUE(DllMain(self, DLL_PROCESS_ATTACH, nullptr));
    const std::string folder = moduleFolder;
    for (DWORD reason : {DWORD(DLL_THREAD_ATTACH), DWORD(DLL_THREAD_DETACH), DWORD(DLL_PROCESS_DETACH)})
        EXPECT_TRUE(DllMain(nullptr, reason, nullptr)) << reason;
    EXPECT_EQ(moduleHandle, self);
    EXPECT_EQ(moduleFolder, folder);
}

} // namespace
