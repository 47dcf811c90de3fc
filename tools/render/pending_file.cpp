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

std::unique_ptr<PendingFile> PendingFile::reserve(const std::string& destination)
{
    auto pending = std::make_unique<PendingFile>(destination);
    pending->write({});
    return pending;
}

void PendingFile::write(const std::string& bytes)
{
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file || !file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !file.flush())
        throw std::runtime_error("cannot write '" + destination + "'");
}

} // namespace tarvel::render
