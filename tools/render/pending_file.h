#pragma once
// A file written under a temporary name beside its destination and moved
// into place only by commit(), so a failed or interrupted run never leaves a
// partial file and never clobbers an existing one.

#include <memory>
#include <string>

namespace tarvel::render {

class PendingFile {
public:
    explicit PendingFile(std::string destination);
    // Removes the temporary file unless committed.
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Creates the temporary file at once, so a destination that cannot be
    // written is known before the work that fills it. Throws
    // std::runtime_error.
    static std::unique_ptr<PendingFile> reserve(const std::string& destination);

    // Where to write until commit().
    const std::string& temporaryPath() const { return temporary; }
    const std::string& destinationPath() const { return destination; }
    // Writes bytes as the file's whole content; throws std::runtime_error.
    void write(const std::string& bytes);
    // Throws std::runtime_error when the file cannot be moved into place.
    void commit();

private:
    std::string destination;
    std::string temporary;
};

} // namespace tarvel::render
