#include "tools/render/sound_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <stdexcept>

#include "tools/render/platform/file_system.h"

namespace tarvel::render {

namespace {

std::string lowercaseExtension(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

int defaultSubtype(int major)
{
    switch (major) {
    case SF_FORMAT_FLAC:
        return SF_FORMAT_PCM_24;
    case SF_FORMAT_OGG:
        return SF_FORMAT_VORBIS;
    default:
        return SF_FORMAT_FLOAT;
    }
}

} // namespace

int majorFormatForPath(const std::string& path)
{
    const std::string extension = lowercaseExtension(path);
    if (extension == "wav")
        return SF_FORMAT_WAV;
    if (extension == "flac")
        return SF_FORMAT_FLAC;
    if (extension == "aif" || extension == "aiff")
        return SF_FORMAT_AIFF;
    if (extension == "w64")
        return SF_FORMAT_W64;
    if (extension == "caf")
        return SF_FORMAT_CAF;
    if (extension == "ogg")
        return SF_FORMAT_OGG;
    return 0;
}

SoundFileReader::SoundFileReader(const std::string& path) : filePath(path)
{
    if (!fileExists(path))
        throw std::runtime_error("cannot open '" + path + "': no such file");
    try {
        stream.emplace(path, "rb");
    } catch (const std::runtime_error& error) {
        throw std::runtime_error("cannot read '" + path + "': " + error.what());
    }
    SF_INFO info{};
    file = sf_open_virtual(BufferedFile::io(), SFM_READ, &info, stream->userData());
    if (!file)
        throw std::runtime_error("cannot read '" + path + "': " + sf_strerror(nullptr));
    if (info.channels < 1 || info.channels > 2) {
        sf_close(file);
        file = nullptr;
        throw std::runtime_error("'" + path + "' has " + std::to_string(info.channels) +
                                 " channels; only mono and stereo files can be rendered");
    }
    if (info.samplerate < 1) {
        sf_close(file);
        file = nullptr;
        throw std::runtime_error("'" + path + "' has no valid sample rate");
    }
    streamFormat = {static_cast<double>(info.samplerate), info.channels, info.frames};
    sndfileFormat = info.format;
}

SoundFileReader::~SoundFileReader()
{
    if (file)
        sf_close(file);
}

std::int64_t SoundFileReader::read(double* interleaved, std::int64_t frames)
{
    const sf_count_t got = sf_readf_double(file, interleaved, frames);
    if (got < 0 || (got < frames && sf_error(file) != SF_ERR_NO_ERROR))
        throw std::runtime_error("error reading '" + filePath + "': " + sf_strerror(file));
    return got;
}

SoundFileWriter::SoundFileWriter(const std::string& path, const StreamFormat& format, int preferredFormat)
    : pending(path)
{
    const int major = majorFormatForPath(path);
    if (major == 0)
        throw std::runtime_error("cannot tell the output format from '" + path +
                                 "'; use .wav, .flac, .aif, .aiff, .w64, .caf or .ogg");
    SF_INFO info{};
    info.samplerate = static_cast<int>(format.sampleRate);
    info.channels = format.channels;
    info.format = major | (preferredFormat & SF_FORMAT_SUBMASK);
    if (!sf_format_check(&info))
        info.format = major | defaultSubtype(major);
    if (!sf_format_check(&info))
        throw std::runtime_error("'" + path + "' cannot hold " + std::to_string(format.channels) + " channel(s) at " +
                                 std::to_string(info.samplerate) + " Hz");

    try {
        stream.emplace(pending.temporaryPath(), "w+b");
    } catch (const std::runtime_error& error) {
        throw std::runtime_error("cannot create '" + path + "': " + error.what());
    }
    file = sf_open_virtual(BufferedFile::io(), SFM_WRITE, &info, stream->userData());
    if (!file)
        throw std::runtime_error("cannot create '" + path + "': " + sf_strerror(nullptr));
    // Louder-than-full-scale samples clip in integer formats instead of wrapping.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

SoundFileWriter::~SoundFileWriter()
{
    if (file)
        sf_close(file);
}

void SoundFileWriter::write(const double* interleaved, std::int64_t frames)
{
    if (sf_writef_double(file, interleaved, frames) != frames)
        throw std::runtime_error("error writing '" + pending.destinationPath() + "': " + sf_strerror(file));
}

void SoundFileWriter::commit()
{
    const int closed = sf_close(file);
    file = nullptr;
    if (closed != 0 || !stream->close())
        throw std::runtime_error("error finishing '" + pending.destinationPath() + "'");
    pending.commit();
}

} // namespace tarvel::render
