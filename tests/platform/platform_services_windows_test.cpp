// What the Windows implementation takes from the system: the temporary
// folder as GetTempPathA finds it (TMP first).

#include "platform/platform_services.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using namespace vantle::platform;

TEST(WindowsTemporaryFolder, FollowsTheTmpVariable)
{
    char previous[MAX_PATH + 1] = {};
    const DWORD had = GetEnvironmentVariableA("TMP", previous, sizeof previous);
    const std::string folder = (std::filesystem::current_path() / "tarvel-tmp").string();
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(SetEnvironmentVariableA("TMP", folder.c_str()));
    const auto found = temporaryFolder();
    SetEnvironmentVariableA("TMP", had ? previous : nullptr);
    std::filesystem::remove_all(folder);

    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, folder + "\\") << "the variable's folder with the separator added";
}

} // namespace
