#include "framework/layout_json.h"

#include "foundation/scrambled_text.h"

#include <exception>
#include <fstream>
#include <sstream>
#include <string>

namespace vantle::vst {

namespace {

std::string currentErrorText()
{
    try {
        throw;
    } catch (const std::exception& error) {
        return error.what();
    } catch (const std::string& text) {
        return text;
    } catch (const char* text) {
        return text ? std::string(text) : VANTLE_TEXT("unknown error");
    } catch (...) {
        return VANTLE_TEXT("unknown error");
    }
}

void applyView(std::ostringstream& log, VSTGUI::CView& view, const std::string& viewName,
               const picojson::value& properties)
{
    const auto& object = properties.get<picojson::object>();
    for (const auto& [name, value] : object) {
        log << viewName << '.' << name << ' ' << VANTLE_TEXT("<-") << ' ' << value.serialize() << '\n';
        try {
            view.setProperty(name, value);
        } catch (...) {
            log << viewName << '.' << name << ' ' << currentErrorText() << '\n';
        }
    }
}

} // namespace

std::string applyLayoutJson(const std::string& document, const ViewsByName& viewsByName, const std::string& logPath)
{
    // picojson throws (instead of reporting a parse error) for numbers that
    // overflow a double; both count as text that is not a layout.
    picojson::value root;
    try {
        if (!picojson::parse(root, document).empty())
            return {};
    } catch (...) {
        return {};
    }

    std::ostringstream log;
    try {
        const auto& views = root.get<picojson::object>();
        for (const auto& [viewName, properties] : views) {
            const auto found = viewsByName.find(viewName);
            if (found == viewsByName.end() || !found->second) {
                log << viewName << ' ' << VANTLE_TEXT("invalid map<K, T> key") << '\n';
                continue;
            }
            try {
                applyView(log, *found->second, viewName, properties);
            } catch (...) {
                log << viewName << ' ' << currentErrorText() << '\n';
            }
        }
    } catch (...) {
        log << currentErrorText() << '\n';
    }
    log << VANTLE_TEXT("layout applied") << '\n';

    std::string text = log.str();
    if (!logPath.empty()) {
        std::ofstream file(logPath, std::ios::binary | std::ios::trunc);
        if (file)
            file << text;
    }
    return text;
}

} // namespace vantle::vst
