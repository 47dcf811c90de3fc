#pragma once
// What the user chose for every editor of a product, not for one project:
// the zoom. Kept in a small JSON file, <user config folder>/<product>/
// settings.json, written whole or not at all; a missing, unreadable or
// broken file means the defaults.

#include <array>
#include <optional>
#include <string>

namespace vantle::vst {

// The zoom steps the editor offers, in percent.
inline constexpr std::array<int, 5> zoomSteps{100, 125, 150, 175, 200};

// The saved zoom as a factor (1.5 for 150 %), 1 when there is none or it
// is not one of the steps.
double savedZoom(const std::string& product);

// Saves the zoom (a factor of one of the steps), keeping whatever else the
// file holds; false if it could not be written.
bool saveZoom(const std::string& product, double zoom);

// Where the settings live; none when the user has no configuration folder.
std::optional<std::string> settingsPath(const std::string& product);

} // namespace vantle::vst
