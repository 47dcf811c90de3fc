#include "private_font_files.h"

#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <set>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace Gdiplus::detail {

namespace {

// The folder and its files live as long as the process: fontconfig and cairo
// reopen font files lazily, so they are removed only at exit.
class PrivateFontFolder {
public:
    ~PrivateFontFolder()
    {
        for (const std::string& file : files)
            ::unlink(file.c_str());
        if (!folder.empty())
            ::rmdir(folder.c_str());
    }

    bool add(const void* data, std::size_t size)
    {
        const std::lock_guard lock(mutex);
        const std::string_view bytes(static_cast<const char*>(data), size);
        const std::size_t key = std::hash<std::string_view>{}(bytes) ^ size;
        if (registered.count(key))
            return true;
        if (folder.empty() && !createFolder())
            return false;
        const std::string path = folder + "/font-" + std::to_string(files.size()) + ".ttf";
        if (!writeFile(path, bytes))
            return false;
        files.push_back(path);
        if (!FcConfigAppFontAddFile(FcConfigGetCurrent(), reinterpret_cast<const FcChar8*>(path.c_str())))
            return false;
        registered.insert(key);
        return true;
    }

private:
    bool createFolder()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/gdiplus-fonts-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (!::mkdtemp(buffer.data()))
            return false;
        folder = buffer.data();
        return true;
    }

    static bool writeFile(const std::string& path, std::string_view bytes)
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        std::size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
            if (n <= 0) {
                ::close(fd);
                return false;
            }
            written += static_cast<std::size_t>(n);
        }
        return ::close(fd) == 0;
    }

    std::mutex mutex;
    std::string folder;
    std::vector<std::string> files;
    std::set<std::size_t> registered;
};

PrivateFontFolder& privateFontFolder()
{
    static PrivateFontFolder instance;
    return instance;
}

} // namespace

bool registerPrivateFontFile(const void* data, std::size_t size)
{
    if (!data || size == 0)
        return false;
    return privateFontFolder().add(data, size);
}

} // namespace Gdiplus::detail
