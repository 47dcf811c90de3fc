#pragma once
// Audio files through libsndfile. The writer works on a temporary file
// beside the destination and only renames it into place on commit(), so a
// failed or interrupted render never leaves a partial output behind.

#include <memory>
#include <optional>
#include <string>

#include "tools/render/audio_stream.h"
#include "tools/render/buffered_file.h"
#include "tools/render/pending_file.h"

struct sf_private_tag;

namespace tarvel::render {

class SoundFileReader final : public AudioSource {
public:
    // Throws std::runtime_error for a missing, unreadable or unsupported
    // file, and for more than two channels.
    explicit SoundFileReader(const std::string& path);
    ~SoundFileReader() override;

    StreamFormat format() const override { return streamFormat; }
    std::string name() const override { return filePath; }
    std::int64_t read(double* interleaved, std::int64_t frames) override;
    // The libsndfile format code of the file (major format and subtype).
    int fileFormat() const { return sndfileFormat; }

private:
    std::string filePath;
    std::optional<BufferedFile> stream;
    sf_private_tag* file = nullptr;
    StreamFormat streamFormat;
    int sndfileFormat = 0;
};

class SoundFileWriter final : public AudioSink {
public:
    // The major format comes from the path's extension; the subtype is
    // preferredSubtype's if that format allows it, else a sensible default.
    // Throws std::runtime_error for an unknown extension or when the file
    // cannot be created.
    SoundFileWriter(const std::string& path, const StreamFormat& format, int preferredFormat);
    // Removes the temporary file unless committed.
    ~SoundFileWriter() override;

    void write(const double* interleaved, std::int64_t frames) override;
    // Closes the file and moves it to its destination.
    void commit();

private:
    PendingFile pending;
    std::optional<BufferedFile> stream;
    sf_private_tag* file = nullptr;
};

// The libsndfile major format for a file name's extension, or 0.
int majorFormatForPath(const std::string& path);

} // namespace tarvel::render
