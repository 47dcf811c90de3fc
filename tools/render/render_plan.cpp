#include "tools/render/render_plan.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "tools/render/sound_file.h"

namespace tarvel::render {

namespace {

namespace fs = std::filesystem;

bool isFolder(const std::string& path)
{
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}

// The sound files of a folder, by the extensions the tool can also write.
std::vector<std::string> soundFilesIn(const std::string& folder)
{
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::error_code typeError;
        if (entry.is_regular_file(typeError) && majorFormatForPath(entry.path().string()) != 0)
            files.push_back(entry.path().string());
    }
    if (error)
        throw UsageError("cannot list the folder '" + folder + "': " + error.message());
    std::sort(files.begin(), files.end());
    return files;
}

void createFolder(const std::string& path, const char* what)
{
    std::error_code error;
    if (isFolder(path))
        return;
    if (!fs::create_directory(path, error) || error)
        throw UsageError(std::string("cannot create the ") + what + " folder '" + path + "'" +
                         (error ? ": " + error.message() : std::string(": a file of that name exists")));
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

std::string inFolder(const std::string& folder, const std::string& path, const std::string& extension = {})
{
    fs::path name = fs::path(path).filename();
    if (!extension.empty())
        name.replace_extension(extension);
    return (fs::path(folder) / name).string();
}

RenderPlan planBatch(const RenderOptions& options, const std::vector<std::string>& inputs)
{
    if (options.outputPath.empty())
        throw UsageError("to render a folder, give -o OUTDIR, the folder to render into");
    std::vector<std::string> files;
    for (const std::string& input : inputs) {
        if (isFolder(input)) {
            const std::vector<std::string> found = soundFilesIn(input);
            if (found.empty())
                throw UsageError("no sound files (.wav .flac .aif .aiff .w64 .caf .ogg) in '" + input + "'");
            files.insert(files.end(), found.begin(), found.end());
        } else {
            files.push_back(input);
        }
    }

    RenderPlan plan{true, {}};
    std::map<std::string, std::string> claimedBy;
    for (const std::string& file : files) {
        RenderJob job{file, inFolder(options.outputPath, file), {}};
        if (!options.plotPath.empty())
            job.plotPath = inFolder(options.plotPath, file, ".png");
        const std::string name = fs::path(file).filename().string();
        if (const auto [claimed, fresh] = claimedBy.emplace(name, file); !fresh)
            throw UsageError("'" + claimed->second + "' and '" + file + "' would both be written to '" +
                             job.outputPath + "'");
        if (sameFile(file, job.outputPath))
            throw UsageError("'" + job.outputPath + "' is an input; render into another folder");
        plan.jobs.push_back(job);
    }
    // Only a plan that can work creates anything.
    createFolder(options.outputPath, "output");
    if (!options.plotPath.empty())
        createFolder(options.plotPath, "picture");
    return plan;
}

} // namespace

RenderPlan planRender(const RenderOptions& options)
{
    if (!options.batchInputs.empty())
        return planBatch(options, options.batchInputs);
    if (isFolder(options.inputPath))
        return planBatch(options, {options.inputPath});

    // The single-file form; a folder given as OUTPUT or as the picture gets
    // the file under the input's name.
    const std::string name = options.inputPath.empty() ? std::string("tarvel-demo.wav") : options.inputPath;
    RenderJob job{options.inputPath, options.outputPath, options.plotPath};
    if (isFolder(job.outputPath))
        job.outputPath = inFolder(job.outputPath, name);
    if (isFolder(job.plotPath))
        job.plotPath = inFolder(job.plotPath, name, ".png");
    if (!job.inputPath.empty() && sameFile(job.inputPath, job.outputPath))
        throw UsageError("OUTPUT must not be the INPUT file");
    return {false, {job}};
}

} // namespace tarvel::render
