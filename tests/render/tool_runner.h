#pragma once
// Runs the built tarvel-render as a user would, and reads and writes the
// sound files it works on.

#include <sndfile.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tarvel::test {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string slurp(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

inline std::string quoted(const std::string& argument)
{
    std::string result = "'";
    for (char c : argument)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

// A scratch folder per test, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarvel-render-test-XXXXXX").string();
        folder = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~ScratchFolder() { std::filesystem::remove_all(folder); }
    std::filesystem::path operator/(const std::string& name) const { return folder / name; }
    std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            result.push_back(entry.path().filename().string());
        return result;
    }
    const std::filesystem::path& path() const { return folder; }

private:
    std::filesystem::path folder;
};

// Runs a shell command line with its output captured in the scratch folder.
inline ToolRun runShell(const ScratchFolder& scratch, std::string command)
{
    const auto outPath = scratch.path() / ".stdout";
    const auto errPath = scratch.path() / ".stderr";
    command += " >" + quoted(outPath.string()) + " 2>" + quoted(errPath.string()) + " </dev/null";
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = slurp(outPath);
    run.err = slurp(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return run;
}

inline std::string toolCommand(const std::vector<std::string>& arguments)
{
    std::string command = quoted(TARVEL_RENDER_PATH);
    for (const auto& argument : arguments) {
        command += ' ';
        command += quoted(argument);
    }
    return command;
}

inline ToolRun runTool(const ScratchFolder& scratch, const std::vector<std::string>& arguments)
{
    return runShell(scratch, toolCommand(arguments));
}

struct Sound {
    int sampleRate = 48000;
    std::vector<std::vector<float>> channels;
    std::size_t frames() const { return channels.empty() ? 0 : channels.front().size(); }
};

inline void writeSound(const std::filesystem::path& path, const Sound& sound, int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT)
{
    SF_INFO info{};
    info.samplerate = sound.sampleRate;
    info.channels = static_cast<int>(sound.channels.size());
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        throw std::runtime_error("cannot write test file " + path.string());
    std::vector<float> interleaved(sound.frames() * sound.channels.size());
    for (std::size_t i = 0; i < sound.frames(); ++i)
        for (std::size_t c = 0; c < sound.channels.size(); ++c)
            interleaved[i * sound.channels.size() + c] = sound.channels[c][i];
    sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(sound.frames()));
    sf_close(file);
}

inline Sound readSound(const std::filesystem::path& path, int* format = nullptr)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        throw std::runtime_error("cannot read test file " + path.string());
    std::vector<float> interleaved(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    if (format)
        *format = info.format;
    Sound sound;
    sound.sampleRate = info.samplerate;
    sound.channels.assign(static_cast<std::size_t>(info.channels), std::vector<float>(static_cast<std::size_t>(info.frames)));
    for (std::size_t i = 0; i < static_cast<std::size_t>(info.frames); ++i)
        for (std::size_t c = 0; c < sound.channels.size(); ++c)
            sound.channels[c][i] = interleaved[i * sound.channels.size() + c];
    return sound;
}

} // namespace tarvel::test
