#pragma once
// A file written under a temporary name beside its destination and moved
// into place only by commit(), so a failed or interrupted run never leaves a
// partial file and never clobbers an existing one.

#include <string>

namespace tarvel::render {

class PendingFile {
public:
    explicit PendingFile(std::string destination);
    // Removes the temporary file unless committed.
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Where to write until commit().
    const std::string& temporaryPath() const { return temporary; }
    const std::string& destinationPath() const { return destination; }
    // Throws std::runtime_error when the file cannot be moved into place.
    void commit();

private:
    std::string destination;
    std::string temporary;
};

// Writes bytes to path through a PendingFile; throws std::runtime_error.
void writeWholeFile(const std::string& path, const std::string& bytes);

} // namespace tarvel::render
