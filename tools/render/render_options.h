#pragma once
// What the command line asks tarvel-render to do.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvel::render {

// A command line the tool cannot act on; the message says what is wrong.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One parameter given on the command line, by its display value.
struct ParameterSetting {
    std::uint32_t id;
    double normalized;
};

struct RenderOptions {
    std::string inputPath;               // empty: the built-in demo signal
    std::string outputPath;              // empty: render and report only; a folder in a batch
    // Two or more inputs given with -o: files and folders to render into
    // the folder outputPath. Empty in the single-file form.
    std::vector<std::string> batchInputs;
    std::int32_t jobs = 0;               // files rendered at once; 0: one per core
    std::string reportJsonPath;          // "-": standard output
    std::string plotPath;                // a PNG file, or a folder in a batch
    std::string modulePath;              // the module file or bundle folder
    std::string format = "vst3";
    std::string statePath;               // a saved processor state to start from
    std::string saveStatePath;           // where to write the state after rendering
    std::vector<ParameterSetting> parameters; // applied after the state, in order
    std::int32_t blockSize = 512;
    bool doublePrecision = false;
    bool quiet = false;
    bool help = false;
};

// Throws UsageError for unknown options, missing or malformed values and
// out-of-range parameter values.
RenderOptions parseRenderOptions(const std::vector<std::string>& arguments, const std::string& defaultModule);

const char* usageText();

} // namespace tarvel::render
