// What the Linux implementation decides by itself: the environment
// variables it reads and the folder permissions it sets.

#include "platform/platform_services.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace {

using namespace vantle::platform;

// Restores one environment variable when the test ends.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* variable, const char* value) : name(variable)
    {
        if (const char* old = std::getenv(variable))
            previous = old;
        had = std::getenv(variable) != nullptr;
        if (value)
            ::setenv(variable, value, 1);
        else
            ::unsetenv(variable);
    }
    ~ScopedEnvironment()
    {
        if (had)
            ::setenv(name, previous.c_str(), 1);
        else
            ::unsetenv(name);
    }

private:
    const char* name;
    std::string previous;
    bool had = false;
};

TEST(LinuxTemporaryFolder, FollowsTmpdirElseTmp)
{
    {
        ScopedEnvironment tmp("TMPDIR", "/var/tmp");
        EXPECT_EQ(temporaryFolder(), "/var/tmp/");
    }
    {
        ScopedEnvironment tmp("TMPDIR", "/var/tmp/");
        EXPECT_EQ(temporaryFolder(), "/var/tmp/") << "no doubled separator";
    }
    ScopedEnvironment none("TMPDIR", nullptr);
    EXPECT_EQ(temporaryFolder(), "/tmp/");
}

TEST(LinuxPrivateFolder, IsReadableByTheOwnerOnly)
{
    const std::string path = *temporaryFolder() + "tarvel-private-" + std::to_string(::getpid());
    std::filesystem::remove_all(path);
    ASSERT_TRUE(createPrivateFolder(path));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    std::filesystem::remove_all(path);
}

TEST(LinuxUserLanguage, TakesTheFirstSetLocaleVariable)
{
    ScopedEnvironment all("LC_ALL", nullptr);
    ScopedEnvironment messages("LC_MESSAGES", "");
    ScopedEnvironment lang("LANG", "ja_JP.UTF-8");
    EXPECT_EQ(userLanguageId(), 1041);
    {
        ScopedEnvironment english("LC_ALL", "en_GB.UTF-8");
        EXPECT_EQ(userLanguageId(), 1033) << "LC_ALL wins over LANG";
    }
    ScopedEnvironment none("LANG", nullptr);
    EXPECT_EQ(userLanguageId(), 1033);
}

// xdg-open may outlive the call by as long as its viewer runs; the host
// must not be left with a zombie child either way.
TEST(LinuxOpenDocument, PassesThePathIntactAndLeavesNoChildBehind)
{
    const std::string folder = *temporaryFolder() + "tarvel-open-" + std::to_string(::getpid());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string opened = folder + "/opened";
    {
        std::ofstream viewer(folder + "/xdg-open");
        viewer << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << opened << ".part\" && mv \"" << opened << ".part\" \""
               << opened << "\"\n";
    }
    std::filesystem::permissions(folder + "/xdg-open", std::filesystem::perms::owner_all);
    const std::string path = folder + "/the manual's \"index\" $HOME;.html";
    {
        const char* oldPath = std::getenv("PATH");
        ScopedEnvironment searchPath("PATH", (folder + ":" + (oldPath ? oldPath : "")).c_str());
        openDocument(path);
    }
    for (int i = 0; i < 500 && !std::filesystem::exists(opened); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream result(opened);
    const std::string received((std::istreambuf_iterator<char>(result)), std::istreambuf_iterator<char>());
    EXPECT_EQ(received, path);
    // Nothing of ours is left to reap, now or once the viewer has finished.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    std::filesystem::remove_all(folder);
}

} // namespace
