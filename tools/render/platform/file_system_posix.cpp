#include "tools/render/platform/file_system.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tarvel::render {

namespace {

// Read by every rendering thread, so an atomic rather than a sig_atomic_t
// (which is only safe within the thread the signal interrupts).
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void onInterrupt(int)
{
    const int savedErrno = errno;
    interrupted.store(true);
    errno = savedErrno;
}

} // namespace

bool fileExists(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

std::string uniqueSiblingPath(const std::string& path)
{
    const std::string stem = path + ".partial-" + std::to_string(getpid());
    std::string candidate = stem;
    for (int attempt = 1; fileExists(candidate); ++attempt)
        candidate = stem + "-" + std::to_string(attempt);
    return candidate;
}

bool renameFile(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void removeFile(const std::string& path) noexcept
{
    unlink(path.c_str());
}

bool standardErrorIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

bool seekFile(std::FILE* file, std::int64_t offset, int whence)
{
    return fseeko(file, static_cast<off_t>(offset), whence) == 0;
}

std::int64_t fileOffset(std::FILE* file)
{
    return ftello(file);
}

std::int64_t fileLength(std::FILE* file)
{
    struct stat info {};
    return fstat(fileno(file), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
}

void catchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool interruptRequested()
{
    return interrupted.load();
}

std::string executableFolder()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

} // namespace tarvel::render
