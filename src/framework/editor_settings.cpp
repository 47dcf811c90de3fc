#include "framework/editor_settings.h"

#include "foundation/scrambled_text.h"
#include "platform/platform_services.h"

#include <picojson.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vantle::vst {

namespace {

std::string zoomKey() { return VANTLE_TEXT("zoom"); }

// Settings files are a few bytes; anything larger is not ours.
constexpr std::streamsize largestSettings = 64 * 1024;

picojson::object readSettings(const std::string& product)
{
    const std::optional<std::string> path = settingsPath(product);
    if (!path)
        return {};
    std::ifstream file(*path, std::ios::binary);
    std::string text(std::size_t(largestSettings) + 1, '\0');
    file.read(text.data(), largestSettings + 1);
    if (file.gcount() > largestSettings)
        return {};
    text.resize(std::size_t(file.gcount()));
    picojson::value document;
    try {
        if (!picojson::parse(document, text).empty() || !document.is<picojson::object>())
            return {};
    } catch (...) {
        return {}; // numbers beyond a double's range
    }
    return document.get<picojson::object>();
}

bool isStep(int percent) { return std::find(zoomSteps.begin(), zoomSteps.end(), percent) != zoomSteps.end(); }

} // namespace

std::optional<std::string> settingsPath(const std::string& product)
{
    const std::optional<std::string> folder = platform::userConfigFolder();
    if (!folder)
        return std::nullopt;
    return *folder + product + platform::pathSeparator() + VANTLE_TEXT("settings.json");
}

double savedZoom(const std::string& product)
{
    const picojson::object settings = readSettings(product);
    const auto found = settings.find(zoomKey());
    if (found == settings.end() || !found->second.is<double>())
        return 1.0;
    const double percent = found->second.get<double>();
    return percent == std::floor(percent) && isStep(int(percent)) ? percent / 100.0 : 1.0;
}

bool saveZoom(const std::string& product, double zoom)
{
    const int percent = int(std::lround(zoom * 100.0));
    const std::optional<std::string> folder = platform::userConfigFolder();
    if (!isStep(percent) || !folder || !platform::ensureFolder(*folder) || !platform::ensureFolder(*folder + product))
        return false;
    picojson::object settings = readSettings(product);
    settings[zoomKey()] = picojson::value(double(percent));
    return platform::replaceFileAtomically(*settingsPath(product), picojson::value(settings).serialize() + "\n");
}

} // namespace vantle::vst
