// tarvel-snapshot: renders the editor offscreen to a PNG, with the views,
// layout and parameter handling the plug-in's editor uses.
// usage: tarvel-snapshot [options] <output.png> [layout.json]
//        tarvel-snapshot --compare <a.png> <b.png> [share]

#include "editor/editor_view_tree.h"
#include "embedded_assets.h"
#include "framework/layout_json.h"
#include "framework/resource_cache.h"
#include "parameters/display_values.h"
#include "parameters/parameter_table.h"
#include "png_writer.h"
#include "toolkit/cframe.h"
#include "toolkit/gdiplus_globals.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace vantle::vst;

constexpr const char* usage =
    "usage: tarvel-snapshot [options] <output.png> [layout.json]\n"
    "  --target -40..0  --ratio 1..4  --stereo-ratio 1..4  --speed fast|slow  --bypass on|off\n"
    "      parameter values as the plug-in displays them (default: the plug-in's defaults)\n"
    "  --level LUFS     the processor's loudness reading for the graph's marker and the readout\n"
    "                   (default: no reading, as before playback starts)\n"
    "  --gain DB        the gain the readout shows (default: what the mapping gives at --level)\n"
    "  --side-gain DB   the side's gain the readout shows with a stereo ratio above 1:1 (default 0)\n"
    "  --scale F        the display's scale, 0.5 to 4 (default 1: 500 by 256 pixels)\n"
    "Without a layout file the embedded layout document is used.\n"
    "--compare A.png B.png [SHARE] prints how two pictures of one size differ and exits 1 when\n"
    "more than SHARE (default 0.04) of the pixels differ by more than 32 in a colour channel.\n";

struct Options {
    std::array<double, tarvel::ParameterCount> values{};
    std::optional<double> level;
    std::optional<double> gain;
    double sideGain = 0;
    double scale = 1;
    std::string output;
    std::string layoutFile;
};

struct ParameterFlag {
    const char* flag;
    tarvel::ParameterId id;
};

constexpr std::array<ParameterFlag, 5> parameterFlags{{
    {"--bypass", tarvel::Bypass},
    {"--speed", tarvel::Speed},
    {"--ratio", tarvel::Ratio},
    {"--stereo-ratio", tarvel::StereoRatio},
    {"--target", tarvel::Target},
}};

// Exits with status 2 on a mistake.
// What a processor reading options.level would report, with the gains
// given on the command line in place of its own.
tarvel::Readout readoutOf(const Options& options)
{
    tarvel::Parameters values;
    for (std::size_t id = 0; id < std::size_t(tarvel::ParameterCount); ++id)
        values[std::int32_t(id)] = float(options.values[id]);
    tarvel::Readout readout = tarvel::readoutFor(options.level.value_or(-1000.0), 0.0, values, true);
    if (options.gain) {
        readout.gain = *options.gain;
        readout.output = readout.input + *options.gain;
    }
    readout.sideGain = options.sideGain;
    return readout;
}

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (std::int32_t id = 0; id < tarvel::ParameterCount; ++id)
        options.values[std::size_t(id)] = tarvel::defaultValue(id);
    const auto fail = [](const std::string& message) {
        std::cerr << "tarvel-snapshot: " << message << '\n' << usage;
        std::exit(2);
    };
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            std::cout << usage;
            std::exit(0);
        }
        if (argument.rfind("--", 0) != 0) {
            positional.push_back(argument);
            continue;
        }
        if (i + 1 >= argc)
            fail(argument + " needs a value");
        const std::string value = argv[++i];
        bool known = false;
        for (const ParameterFlag& flag : parameterFlags)
            if (argument == flag.flag) {
                const std::optional<double> normalised = tarvel::normalisedFromDisplay(flag.id, value);
                if (!normalised)
                    fail("invalid value for " + argument + ": " + value);
                options.values[std::size_t(flag.id)] = *normalised;
                known = true;
            }
        if (argument == "--scale") {
            char* end = nullptr;
            options.scale = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !(options.scale >= 0.5 && options.scale <= 4))
                fail("invalid value for --scale: " + value);
            known = true;
        }
        for (const auto& [name, target] : {std::pair<const char*, std::optional<double>*>{"--level", &options.level},
                                           {"--gain", &options.gain}}) {
            if (argument != name)
                continue;
            char* end = nullptr;
            const double number = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !std::isfinite(number))
                fail("invalid value for " + argument + ": " + value);
            *target = number;
            known = true;
        }
        if (argument == "--side-gain") {
            char* end = nullptr;
            options.sideGain = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !std::isfinite(options.sideGain))
                fail("invalid value for --side-gain: " + value);
            known = true;
        }
        if (!known)
            fail("unknown option " + argument);
    }
    if (positional.empty() || positional.size() > 2)
        fail("give one output file and at most one layout file");
    options.output = positional[0];
    if (positional.size() == 2)
        options.layoutFile = positional[1];
    return options;
}

bool writePng(Gdiplus::Bitmap& bitmap, const std::string& path)
{
    const int width = static_cast<int>(bitmap.GetWidth());
    const int height = static_cast<int>(bitmap.GetHeight());
    std::vector<std::uint8_t> rgba;
    rgba.reserve(std::size_t(width) * std::size_t(height) * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Gdiplus::Color color;
            bitmap.GetPixel(x, y, &color);
            rgba.insert(rgba.end(), {color.GetR(), color.GetG(), color.GetB(), color.GetA()});
        }
    return tarvel::png::writeRgba(path, width, height, rgba);
}

std::vector<std::uint8_t> fileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Two renders of the editor from different GDI+ implementations differ where
// antialiasing does (text, thin lines, curve edges); elsewhere they agree.
int compare(const std::string& first, const std::string& second, double allowedShare)
{
    VSTGUI::GDIPlusGlobals::enter();
    int result = 1;
    try {
        const auto a = ResourceCache::decodeImage(fileBytes(first));
        const auto b = ResourceCache::decodeImage(fileBytes(second));
        if (!a || !b || a->GetWidth() != b->GetWidth() || a->GetHeight() != b->GetHeight()) {
            std::cerr << "tarvel-snapshot: the pictures are missing or of different sizes\n";
        } else {
            int largest = 0;
            std::size_t off = 0;
            double sum = 0;
            const std::size_t count = std::size_t(a->GetWidth()) * a->GetHeight();
            for (UINT y = 0; y < a->GetHeight(); ++y)
                for (UINT x = 0; x < a->GetWidth(); ++x) {
                    Gdiplus::Color p, q;
                    a->GetPixel(INT(x), INT(y), &p);
                    b->GetPixel(INT(x), INT(y), &q);
                    const int difference = std::max({std::abs(p.GetR() - q.GetR()), std::abs(p.GetG() - q.GetG()),
                                                     std::abs(p.GetB() - q.GetB())});
                    largest = std::max(largest, difference);
                    off += difference > 32;
                    sum += difference;
                }
            const double share = double(off) / double(count);
            std::printf("largest difference %d, mean %.2f, %.2f %% of pixels differ by more than 32 (allowed %.2f %%)\n",
                        largest, sum / double(count), share * 100, allowedShare * 100);
            result = share <= allowedShare ? 0 : 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "tarvel-snapshot: " << error.what() << '\n';
    }
    VSTGUI::GDIPlusGlobals::exit();
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && argc <= 5 && std::string(argv[1]) == "--compare") {
        const double share = argc == 5 ? std::atof(argv[4]) : 0.04;
        return compare(argv[2], argv[3], share);
    }
    const Options options = parseOptions(argc, argv);
    std::string layout;
    if (!options.layoutFile.empty()) {
        std::ifstream file(options.layoutFile, std::ios::binary);
        if (!file) {
            std::cerr << "tarvel-snapshot: cannot read " << options.layoutFile << '\n';
            return 1;
        }
        std::ostringstream text;
        text << file.rdbuf();
        layout = text.str();
    } else {
        layout = assetText(tarvel::uiAssets(), tarvel::layoutAssetName());
    }

    VSTGUI::GDIPlusGlobals::enter();
    int result = 0;
    {
        ResourceCache cache([](const std::string& name) { return assetBytes(tarvel::uiAssets(), name); });
        VSTGUI::CFrame frame(VSTGUI::CRect(0, 0, 500, 256), nullptr);
        frame.setBackgroundColor(0xFF7F7F7F);
        frame.setScaleFactor(options.scale);
        const ViewsByName views = tarvel::createEditorViews(frame, cache, nullptr);
        const std::string log = applyLayoutJson(layout, views);
        if (log.empty())
            std::cerr << "tarvel-snapshot: the layout is not JSON; rendering the defaults\n";
        else
            std::cout << log;
        // As the editor does when it opens, then on its first timer tick.
        for (std::uint32_t id = 0; id < std::uint32_t(tarvel::ParameterCount); ++id)
            tarvel::showParameterValue(views, id, options.values[id]);
        tarvel::showMappingCurve(views, options.level.value_or(-1000.0), options.level.has_value());
        tarvel::showReadout(views, readoutOf(options), options.level.has_value());
        Gdiplus::Bitmap* bitmap = frame.render();
        if (!bitmap || !writePng(*bitmap, options.output)) {
            std::cerr << "tarvel-snapshot: cannot write " << options.output << '\n';
            result = 1;
        }
    }
    VSTGUI::GDIPlusGlobals::exit();
    return result;
}
