#include "tools/render/render_options.h"

#include <cstdlib>

#include "tools/render/parameter_values.h"

namespace tarvel::render {

namespace {

constexpr std::int32_t largestBlockSize = 65536;

std::int32_t blockSizeFrom(const std::string& text)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || end != text.c_str() + text.size() || value < 1 || value > largestBlockSize)
        throw UsageError("--block-size must be a whole number from 1 to " + std::to_string(largestBlockSize) +
                         ", not '" + text + "'");
    return static_cast<std::int32_t>(value);
}

} // namespace

const char* usageText()
{
    return "usage: tarvel-render [options] [INPUT [OUTPUT]]\n"
           "\n"
           "Renders INPUT (WAV, FLAC, AIFF, ... with 1 or 2 channels) through the plug-in\n"
           "module and writes OUTPUT in the format its extension names, aligned with the\n"
           "input and of the same length. Without OUTPUT only the loudness report is\n"
           "printed; without INPUT a built-in demo signal with loud and quiet passages is\n"
           "rendered.\n"
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
           "  --format vst3|vst2      plug-in format to load the module as (default vst3)\n"
           "  --module PATH           the module file or .vst3 bundle (default: the installed\n"
           "                          one, or the one built beside the tool)\n"
           "  -o, --output FILE       same as giving OUTPUT\n"
           "  -q, --quiet             no report\n"
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
            if (options.format != "vst3" && options.format != "vst2")
                throw UsageError("--format must be vst3 or vst2, not '" + options.format + "'");
        } else if (argument == "--state") {
            options.statePath = value();
        } else if (argument == "--save-state") {
            options.saveStatePath = value();
        } else if (argument == "--block-size") {
            options.blockSize = blockSizeFrom(value());
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

    if (positional.size() > 2)
        throw UsageError("too many files: give at most INPUT and OUTPUT");
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
