#include "platform/platform_services.h"

#include <gdiplus_linux.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

std::optional<std::string> userConfigFolder()
{
    // XDG_CONFIG_HOME that is not an absolute path counts as unset, as the
    // freedesktop base-directory rules say.
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (configured && configured[0] == '/') {
        folder = configured;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/')
            return std::nullopt;
        folder = std::string(home) + "/.config";
    }
    if (folder.back() != '/')
        folder.push_back('/');
    return folder;
}

bool ensureFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0755) == 0)
        return true;
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool replaceFileAtomically(const std::string& path, const std::string& bytes)
{
    std::string temporary = path + ".XXXXXX";
    const int file = ::mkstemp(temporary.data());
    if (file < 0)
        return false;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t step = ::write(file, bytes.data() + written, bytes.size() - written);
        if (step < 0 && errno == EINTR)
            continue;
        if (step <= 0)
            break;
        written += std::size_t(step);
    }
    // On the disk before the name points at it, or a crash could leave an
    // empty file in place of the old one.
    const bool whole = written == bytes.size() && ::fsync(file) == 0;
    const bool closed = ::close(file) == 0;
    if (whole && closed && ::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(temporary.c_str());
    return false;
}

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
    // xdg-open can live as long as the viewer it starts, and a child of the
    // host left unreaped would stay a zombie. A shell starts it in the
    // background and exits at once: only the shell is waited for, and the
    // orphaned xdg-open is reaped by the system. The path travels as the
    // shell's $1, never as script text.
    char shell[] = "/bin/sh";
    char option[] = "-c";
    char script[] = "xdg-open \"$1\" </dev/null >/dev/null 2>&1 &";
    char name[] = "sh";
    std::string argument = path;
    char* argv[] = {shell, option, script, name, argument.data(), nullptr};
    pid_t child = 0;
    if (::posix_spawn(&child, shell, nullptr, nullptr, argv, environ) != 0)
        return;
    // A host that ignores SIGCHLD, or reaps every child itself, makes this
    // fail with ECHILD: then the shell is gone already.
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
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
