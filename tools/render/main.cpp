// tarvel-render: renders audio files through the plug-in module, loaded
// through its factory exactly as a DAW loads it.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/render/demo_signal.h"
#include "tools/render/effect_factory.h"
#include "tools/render/platform/file_system.h"
#include "tools/render/render_options.h"
#include "tools/render/renderer.h"
#include "tools/render/report.h"
#include "tools/render/sound_file.h"

namespace {

using namespace tarvel::render;

// Far above any state the plug-in writes; a bigger file is not a state.
constexpr std::streamoff largestStateFile = 1 << 20;

std::vector<std::uint8_t> readStateFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        throw std::runtime_error("cannot open state '" + path + "'");
    const std::streamoff size = file.tellg();
    if (size <= 0 || size > largestStateFile)
        throw std::runtime_error("'" + path + "' is not a saved state");
    file.seekg(0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size))
        throw std::runtime_error("cannot read state '" + path + "'");
    return bytes;
}

void writeStateFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    const std::string temporary = uniqueSiblingPath(path);
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file || !file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        {
            removeFile(temporary);
            throw std::runtime_error("cannot write state '" + path + "'");
        }
    }
    if (!renameFile(temporary, path)) {
        removeFile(temporary);
        throw std::runtime_error("cannot write state '" + path + "'");
    }
}

int run(const RenderOptions& options)
{
    auto effect = createEffectHost(options.format, options.modulePath);
    if (!options.statePath.empty())
        effect->restoreProcessorState(readStateFile(options.statePath));
    for (const auto& setting : options.parameters)
        effect->setParameter(setting.id, setting.normalized);

    std::unique_ptr<AudioSource> source;
    int preferredFormat = 0;
    if (options.inputPath.empty()) {
        source = std::make_unique<DemoSignal>();
    } else {
        auto file = std::make_unique<SoundFileReader>(options.inputPath);
        preferredFormat = file->fileFormat();
        source = std::move(file);
    }
    const StreamFormat format = source->format();

    std::unique_ptr<SoundFileWriter> writer;
    if (!options.outputPath.empty())
        writer = std::make_unique<SoundFileWriter>(options.outputPath, format, preferredFormat);

    ProgressBar progress(format.frames, format.sampleRate, !options.quiet && standardErrorIsTerminal());
    const RenderResult result =
        renderStream(*effect, *source, writer.get(), {options.blockSize, options.doublePrecision}, &progress);
    if (writer)
        writer->commit();
    if (!options.saveStatePath.empty())
        writeStateFile(options.saveStatePath, effect->processorState());

    if (!options.quiet) {
        const std::string settings = settingsLine(*effect);
        std::fputs(settings.c_str(), stdout);
        const std::string report = renderReport({options.format == "vst3" ? "VST 3" : "VST 2.4",
                                                 source->name(), options.outputPath, format.sampleRate},
                                                result);
        std::fputs(report.c_str(), stdout);
    }
    return 0;
}

// Installed (bin/ beside lib/vst3/, as the Debian package lays it out), the
// tool renders through the installed module; in the build tree, through the
// module built beside it.
std::string defaultModule()
{
    const std::string folder = executableFolder();
    const std::string installed = folder + "/../lib/vst3/Tarvel64.vst3";
    return !folder.empty() && fileExists(installed) ? installed : TARVEL_DEFAULT_MODULE;
}

} // namespace

int main(int argc, char** argv)
{
    catchInterrupts();
    try {
        const RenderOptions options =
            parseRenderOptions(std::vector<std::string>(argv + 1, argv + argc), defaultModule());
        if (options.help) {
            std::fputs(usageText(), stdout);
            return 0;
        }
        return run(options);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tarvel-render: %s\n(tarvel-render --help lists the options)\n", error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarvel-render: %s\n", error.what());
        return 1;
    }
}
