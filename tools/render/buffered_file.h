#pragma once
// An open file with a large buffer, for libsndfile's virtual I/O: libsndfile
// reads and writes a few kilobytes at a time, and the buffer turns that into
// one system call per megabyte.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include <sndfile.h>

namespace tarvel::render {

class BufferedFile {
public:
    // mode as for fopen. Throws std::runtime_error with the system's reason.
    BufferedFile(const std::string& path, const char* mode);
    ~BufferedFile();
    BufferedFile(const BufferedFile&) = delete;
    BufferedFile& operator=(const BufferedFile&) = delete;

    // libsndfile's callbacks, and the user data to give them.
    static SF_VIRTUAL_IO* io();
    void* userData() { return this; }
    // Writes what is buffered; false on a write error (a full disk).
    bool close();

private:
    friend struct BufferedFileAccess;

    std::unique_ptr<char[]> buffer;
    std::FILE* file = nullptr;
    // The file's length counting what is still in the buffer, which the
    // system does not know of yet.
    std::int64_t length = 0;
};

} // namespace tarvel::render
