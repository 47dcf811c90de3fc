#include "tools/render/render_options.h"

#include <cstdlib>

#include "tools/render/parameter_values.h"
#include "tools/render/sound_file.h"

namespace tarvel::render {

namespace {

constexpr std::int32_t largestBlockSize = 65536;
constexpr std::int32_t mostJobs = 256;

std::int32_t wholeNumberFrom(const std::string& option, const std::string& text, std::int32_t largest)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || end != text.c_str() + text.size() || value < 1 || value > largest)
        throw UsageError(option + " must be a whole number from 1 to " + std::to_string(largest) + ", not '" + text +
                         "'");
    return static_cast<std::int32_t>(value);
}

} // namespace

const char* usageText()
{
    return "usage: tarvel-render [options] [INPUT [OUTPUT]]\n"
           "       tarvel-render [options] -o OUTDIR INPUT|FOLDER...\n"
           "\n"
           "Renders INPUT (WAV, FLAC, AIFF, ... with 1 or 2 channels) through the plug-in\n"
           "module and writes OUTPUT in the format its extension names, aligned with the\n"
           "input and of the same length. Without OUTPUT only the loudness report is\n"
           "printed; without INPUT a built-in demo signal with loud and quiet passages is\n"
           "rendered. The second form renders every INPUT, and every sound file in each\n"
           "FOLDER, into OUTDIR under its own name, several at once, with one summary\n"
           "line per file; the exit status is 0 only if every file was rendered.\n"
           "\n"
           "parameters (display values):\n"
           "  --bypass on|off         --speed fast|slow\n"
           "  --ratio 1..4            --stereo-ratio 1..4\n"
           "  --target -40..0         (LUFS)\n"
           "  --state FILE            start from a saved processor state (options above\n"
           "                          override it)\n"
           "  --save-state FILE       write the processor state after rendering\n"
           "processing:\n"
           "  --block-size N          frames per block, 1..65536 (default 512)\n"
           "  --precision 32|64       sample size handed to the plug-in (default 32)\n"
           "  --format vst3|vst2|clap|lv2\n"
           "                          plug-in format to load the module as (default vst3;\n"
           "                          lv2: the Tarvel.lv2 bundle at or beside --module)\n"
           "  --module PATH           the module file or .vst3 bundle (default: the installed\n"
           "                          one, or the one built beside the tool)\n"
           "  -o, --output FILE|DIR   same as giving OUTPUT; the folder to render into\n"
           "                          when several files are given\n"
           "  -j, --jobs N            files rendered at once (default: one per core)\n"
           "reports:\n"
           "  --report-json FILE      settings, latency and loudness of every file as JSON\n"
           "                          (- for standard output; the text report then goes to\n"
           "                          standard error)\n"
           "  --plot FILE.png         a 1000 by 460 picture of the input's and output's\n"
           "                          short-term loudness and the mapping curve; in a\n"
           "                          batch, a folder that gets one NAME.png per file\n"
           "  -q, --quiet             no report, no progress\n"
           "  -h, --help              this text\n";
}

RenderOptions parseRenderOptions(const std::vector<std::string>& arguments, const std::string& defaultModule)
{
    RenderOptions options;
    options.modulePath = defaultModule;
    std::vector<std::string> positional;

    for (std::size_t index = 0; index < arguments.size(); ++index) {
        std::string argument = arguments[index];
        std::string inlineValue;
        bool hasInlineValue = false;
        if (argument.starts_with("--")) {
            if (const auto equals = argument.find('='); equals != std::string::npos) {
                inlineValue = argument.substr(equals + 1);
                argument.resize(equals);
                hasInlineValue = true;
            }
        }
        auto value = [&]() -> std::string {
            if (hasInlineValue)
                return inlineValue;
            if (index + 1 >= arguments.size())
                throw UsageError(argument + " needs a value");
            return arguments[++index];
        };

        if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "-q" || argument == "--quiet") {
            options.quiet = true;
        } else if (argument == "-o" || argument == "--output") {
            options.outputPath = value();
        } else if (argument == "--module") {
            options.modulePath = value();
        } else if (argument == "--format") {
            options.format = value();
            if (options.format != "vst3" && options.format != "vst2" && options.format != "clap" &&
                options.format != "lv2")
                throw UsageError("--format must be vst3, vst2, clap or lv2, not '" + options.format + "'");
        } else if (argument == "--state") {
            options.statePath = value();
        } else if (argument == "--save-state") {
            options.saveStatePath = value();
        } else if (argument == "--block-size") {
            options.blockSize = wholeNumberFrom(argument, value(), largestBlockSize);
        } else if (argument == "-j" || argument == "--jobs") {
            options.jobs = wholeNumberFrom(argument, value(), mostJobs);
        } else if (argument == "--report-json") {
            options.reportJsonPath = value();
        } else if (argument == "--plot") {
            options.plotPath = value();
        } else if (argument == "--precision") {
            const std::string precision = value();
            if (precision != "32" && precision != "64")
                throw UsageError("--precision must be 32 or 64, not '" + precision + "'");
            options.doublePrecision = precision == "64";
        } else if (argument.starts_with("--") && findParameterOption(argument.substr(2))) {
            const ParameterOption& known = *findParameterOption(argument.substr(2));
            const std::string text = value();
            const auto normalized = normalizedFromDisplay(known.id, text);
            if (!normalized)
                throw UsageError(argument + " must be " + known.range + ", not '" + text + "'");
            options.parameters.push_back({known.id, *normalized});
        } else if (argument == "--") {
            positional.insert(positional.end(), arguments.begin() + static_cast<long>(index) + 1, arguments.end());
            break;
        } else if (argument.size() > 1 && argument[0] == '-') {
            throw UsageError("unknown option '" + argument + "'");
        } else {
            positional.push_back(argument);
        }
    }

    if (!options.outputPath.empty() && positional.size() >= 2) {
        if (majorFormatForPath(options.outputPath) != 0)
            throw UsageError("-o " + options.outputPath +
                             " names a sound file; with several inputs -o names the folder to render into");
        options.batchInputs = positional;
        return options;
    }
    if (positional.size() > 2)
        throw UsageError("too many files: give INPUT and OUTPUT, or -o OUTDIR to render several files");
    if (!positional.empty())
        options.inputPath = positional[0];
    if (positional.size() == 2) {
        if (!options.outputPath.empty())
            throw UsageError("OUTPUT given twice");
        options.outputPath = positional[1];
    }
    if (!options.outputPath.empty() && options.outputPath == options.inputPath)
        throw UsageError("OUTPUT must not be the INPUT file");
    return options;
}

} // namespace tarvel::render
