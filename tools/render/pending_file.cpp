#include "tools/render/pending_file.h"

#include <fstream>
#include <stdexcept>

#include "tools/render/platform/file_system.h"

namespace tarvel::render {

PendingFile::PendingFile(std::string path) : destination(std::move(path)), temporary(uniqueSiblingPath(destination)) {}

PendingFile::~PendingFile()
{
    if (!temporary.empty())
        removeFile(temporary);
}

void PendingFile::commit()
{
    if (!renameFile(temporary, destination))
        throw std::runtime_error("cannot move the finished file to '" + destination + "'");
    temporary.clear();
}

void writeWholeFile(const std::string& path, const std::string& bytes)
{
    PendingFile pending(path);
    {
        std::ofstream file(pending.temporaryPath(), std::ios::binary | std::ios::trunc);
        if (!file || !file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !file.flush())
            throw std::runtime_error("cannot write '" + path + "'");
    }
    pending.commit();
}

} // namespace tarvel::render
