#include "toolkit/x11/x11_display_scale.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>

namespace VSTGUI::X11 {

double scaleFromResources(const char* resources)
{
    if (!resources)
        return 1.0;
    constexpr const char name[] = "Xft.dpi:";
    for (const char* line = resources; *line;) {
        if (std::strncmp(line, name, sizeof name - 1) == 0) {
            char* end = nullptr;
            const double dpi = std::strtod(line + sizeof name - 1, &end);
            const bool wholeValue = end && (*end == '\0' || *end == '\n' || *end == ' ' || *end == '\t');
            return wholeValue && dpi >= 48.0 && dpi <= 384.0 ? dpi / 96.0 : 1.0;
        }
        const char* next = std::strchr(line, '\n');
        if (!next)
            break;
        line = next + 1;
    }
    return 1.0;
}

double displayScale(_XDisplay* display) { return display ? scaleFromResources(XResourceManagerString(display)) : 1.0; }

} // namespace VSTGUI::X11
