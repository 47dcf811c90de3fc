#include "tools/render/buffered_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "tools/render/platform/file_system.h"

namespace tarvel::render {

namespace {

constexpr std::size_t bufferBytes = 1 << 20;

} // namespace

// libsndfile's callbacks, friends of BufferedFile.
struct BufferedFileAccess {
    static BufferedFile& of(void* userData) { return *static_cast<BufferedFile*>(userData); }

    static sf_count_t length(void* userData) { return of(userData).length; }

    static sf_count_t seek(sf_count_t offset, int whence, void* userData)
    {
        std::FILE* file = of(userData).file;
        return seekFile(file, offset, whence) ? fileOffset(file) : -1;
    }

    static sf_count_t read(void* destination, sf_count_t bytes, void* userData)
    {
        return static_cast<sf_count_t>(std::fread(destination, 1, static_cast<std::size_t>(bytes), of(userData).file));
    }

    static sf_count_t write(const void* source, sf_count_t bytes, void* userData)
    {
        BufferedFile& buffered = of(userData);
        const auto written =
            static_cast<sf_count_t>(std::fwrite(source, 1, static_cast<std::size_t>(bytes), buffered.file));
        buffered.length = std::max<std::int64_t>(buffered.length, fileOffset(buffered.file));
        return written;
    }

    static sf_count_t tell(void* userData) { return fileOffset(of(userData).file); }
};


BufferedFile::BufferedFile(const std::string& path, const char* mode)
    : buffer(new char[bufferBytes]), file(std::fopen(path.c_str(), mode))
{
    if (!file)
        throw std::runtime_error(std::strerror(errno));
    // glibc sizes a buffer it allocates itself by the file system's block,
    // whatever size is asked for; one of our own is used as it is.
    std::setvbuf(file, buffer.get(), _IOFBF, bufferBytes);
    length = fileLength(file);
}

BufferedFile::~BufferedFile()
{
    close();
}

bool BufferedFile::close()
{
    if (!file)
        return true;
    const bool written = std::fclose(file) == 0;
    file = nullptr;
    return written;
}

SF_VIRTUAL_IO* BufferedFile::io()
{
    static SF_VIRTUAL_IO callbacks{BufferedFileAccess::length, BufferedFileAccess::seek, BufferedFileAccess::read,
                                   BufferedFileAccess::write, BufferedFileAccess::tell};
    return &callbacks;
}

} // namespace tarvel::render
