#pragma once
// The plug-in as LV2 hosts see it: the stereo and the mono plug-in with
// their URIs and ports, and the user interface's URI. Made from the
// parameter table, for the module's instances and for the tool that writes
// the bundle's Turtle files alike.

#include <string>
#include <vector>

#include "sdk/lv2/lv2_plugin_description.h"

namespace tarvel {

// The stereo plug-in first, then the mono one.
const std::vector<Steinberg::Vst::Lv2PluginDescription>& lv2Plugins();

// The user interface both plug-ins share.
const Steinberg::Vst::Lv2UiDescription& lv2Ui();
// The maker, as the Turtle files name it.
std::string lv2MakerName();
std::string lv2MakerHomepage();

} // namespace tarvel
