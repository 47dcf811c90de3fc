#include "platform/platform_services.h"

#include <gdiplus_linux.h>

#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

extern char** environ;

namespace vantle::platform {

std::optional<std::string> temporaryFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp";
    if (folder.back() != '/')
        folder.push_back('/');
    return folder;
}

char pathSeparator() { return '/'; }

bool createPrivateFolder(const std::string& path) { return ::mkdir(path.c_str(), 0700) == 0; }

std::uint16_t userLanguageId()
{
    // The first of these that is set decides, as for the C library's locale.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return std::strncmp(value, "ja", 2) == 0 ? 1041 : 1033;
    }
    return 1033;
}

void openDocument(const std::string& path)
{
    // Not waited for: the host owns the process and its child handling.
    pid_t child = 0;
    char program[] = "xdg-open";
    std::string argument = path;
    char* argv[] = {program, argument.data(), nullptr};
    ::posix_spawnp(&child, program, nullptr, nullptr, argv, environ);
}

std::optional<std::string> hostExecutablePath()
{
    std::string path(8192, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size())
        return std::nullopt;
    path.resize(static_cast<std::size_t>(length));
    return path;
}

std::unique_ptr<Gdiplus::Image> decodeImageFromMemory(const std::uint8_t* data, std::size_t size)
{
    return std::unique_ptr<Gdiplus::Image>(Gdiplus::Linux::LoadImageFromMemory(data, size));
}

} // namespace vantle::platform
