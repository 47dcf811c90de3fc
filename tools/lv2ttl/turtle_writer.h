#pragma once
// The Turtle text of an LV2 bundle: the manifest, which names the plug-ins
// and their binary, and the plug-ins' descriptions with every port.

#include <string>
#include <vector>

#include "sdk/lv2/lv2_plugin_description.h"

namespace tarvel::lv2ttl {

struct Bundle {
    std::vector<Steinberg::Vst::Lv2PluginDescription> plugins;
    std::string binary;          // the module's file name inside the bundle
    std::string pluginsFile;     // the file the plug-ins are described in
    std::string makerName;
    std::string makerHomepage;
    std::string uiUri;           // the X11 user interface the plug-ins share
};

std::string manifestTurtle(const Bundle& bundle);
std::string pluginsTurtle(const Bundle& bundle);

// A number as Turtle reads it back exactly, whatever the process locale.
std::string turtleNumber(double value);
// A quoted string literal.
std::string turtleString(const std::string& text);

} // namespace tarvel::lv2ttl
