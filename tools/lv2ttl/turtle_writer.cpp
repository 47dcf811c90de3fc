#include "tools/lv2ttl/turtle_writer.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace tarvel::lv2ttl {

using Steinberg::Vst::Lv2ParameterPort;
using Steinberg::Vst::Lv2PluginDescription;
using Steinberg::Vst::Lv2PortKind;
using Steinberg::Vst::Lv2PortLayout;

namespace {

const char* const prefixes = "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                             "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                             "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                             "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
                             "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                             "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                             "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                             "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n\n";

void writeUnit(std::ostream& out, const std::string& symbol)
{
    if (symbol.empty())
        return;
    out << " ;\n\t\tunits:unit [\n\t\t\ta units:Unit ;\n\t\t\trdfs:label " << turtleString(symbol)
        << " ;\n\t\t\tunits:symbol " << turtleString(symbol) << " ;\n\t\t\tunits:render "
        << turtleString(std::string("%f") + (symbol[0] == ':' ? "" : " ") + symbol) << "\n\t\t]";
}

void writeReadingPort(std::ostream& out, const Steinberg::Vst::Lv2ReadingValue& port, std::uint32_t index)
{
    out << "\t\ta lv2:OutputPort, lv2:ControlPort ;\n"
        << "\t\tlv2:index " << index << " ;\n"
        << "\t\tlv2:symbol " << turtleString(port.symbol) << " ;\n"
        << "\t\tlv2:name " << turtleString(port.name) << " ;\n"
        << "\t\tlv2:minimum " << turtleNumber(port.minimum) << " ;\n"
        << "\t\tlv2:maximum " << turtleNumber(port.maximum);
    if (port.integer)
        out << " ;\n\t\tlv2:portProperty lv2:integer, lv2:toggled";
    writeUnit(out, port.unitSymbol);
    out << "\n";
}

void writeParameterPort(std::ostream& out, const Lv2ParameterPort& port, std::uint32_t index)
{
    out << "\t\ta lv2:InputPort, lv2:ControlPort ;\n"
        << "\t\tlv2:index " << index << " ;\n"
        << "\t\tlv2:symbol " << turtleString(port.symbol) << " ;\n"
        << "\t\tlv2:name " << turtleString(port.name) << " ;\n"
        << "\t\tlv2:default " << turtleNumber(port.defaultValue) << " ;\n"
        << "\t\tlv2:minimum " << turtleNumber(port.minimum) << " ;\n"
        << "\t\tlv2:maximum " << turtleNumber(port.maximum);
    switch (port.kind) {
    case Lv2PortKind::continuous: break;
    case Lv2PortKind::enumeration: out << " ;\n\t\tlv2:portProperty lv2:integer, lv2:enumeration"; break;
    case Lv2PortKind::toggled: out << " ;\n\t\tlv2:portProperty lv2:integer, lv2:toggled"; break;
    case Lv2PortKind::hostEnabled:
        out << " ;\n\t\tlv2:portProperty lv2:integer, lv2:toggled ;\n\t\tlv2:designation lv2:enabled";
        break;
    }
    if (port.logarithmic)
        out << " ;\n\t\tlv2:portProperty pprops:logarithmic";
    for (const auto& point : port.scalePoints)
        out << " ;\n\t\tlv2:scalePoint [\n\t\t\trdfs:label " << turtleString(point.label) << " ;\n\t\t\trdf:value "
            << turtleNumber(point.value) << "\n\t\t]";
    writeUnit(out, port.unitSymbol);
    out << "\n";
}

void writeAudioPort(std::ostream& out, bool input, std::uint32_t index, std::uint32_t channel,
                    std::uint32_t channels)
{
    const std::string side = input ? "in" : "out";
    const std::string name = input ? "Input" : "Output";
    const char* const suffixes[] = {"_l", "_r"};
    const char* const names[] = {" L", " R"};
    out << "\t\ta lv2:" << (input ? "Input" : "Output") << "Port, lv2:AudioPort ;\n"
        << "\t\tlv2:index " << index << " ;\n"
        << "\t\tlv2:symbol " << turtleString(channels == 1 ? side : side + suffixes[channel]) << " ;\n"
        << "\t\tlv2:name " << turtleString(channels == 1 ? name : name + names[channel]) << "\n";
}

void writePlugin(std::ostream& out, const Bundle& bundle, const Lv2PluginDescription& plugin)
{
    const Lv2PortLayout layout(plugin);
    out << "<" << plugin.uri << ">\n"
        << "\ta lv2:Plugin, lv2:CompressorPlugin ;\n"
        << "\tdoap:name " << turtleString(plugin.name) << " ;\n"
        << "\tlv2:project <" << bundle.makerHomepage << "> ;\n"
        << "\tlv2:optionalFeature lv2:hardRTCapable ;\n"
        << "\tui:ui <" << bundle.uiUri << "> ;\n"
        << "\tlv2:port [\n";
    for (std::uint32_t i = 0; i < layout.parameterCount; ++i) {
        writeParameterPort(out, plugin.parameters[i], i);
        out << "\t] , [\n";
    }
    out << "\t\ta lv2:OutputPort, lv2:ControlPort ;\n"
        << "\t\tlv2:index " << layout.latency() << " ;\n"
        << "\t\tlv2:symbol \"latency\" ;\n"
        << "\t\tlv2:name \"Latency\" ;\n"
        << "\t\tlv2:designation lv2:latency ;\n"
        << "\t\tlv2:portProperty lv2:reportsLatency, lv2:integer, pprops:notOnGUI ;\n"
        << "\t\tunits:unit units:frame\n";
    for (std::uint32_t i = 0; i < layout.readingCount; ++i) {
        out << "\t] , [\n";
        writeReadingPort(out, plugin.reading->values[i], layout.reading(i));
    }
    for (std::uint32_t c = 0; c < layout.channels; ++c) {
        out << "\t] , [\n";
        writeAudioPort(out, true, layout.audioInput(c), c, layout.channels);
    }
    for (std::uint32_t c = 0; c < layout.channels; ++c) {
        out << "\t] , [\n";
        writeAudioPort(out, false, layout.audioOutput(c), c, layout.channels);
    }
    out << "\t] .\n\n";
}

} // namespace

std::string turtleNumber(double value)
{
    if (!std::isfinite(value))
        return "0.0";
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    std::string number(text, result.ptr);
    // An integer-looking literal would be typed xsd:integer; keep every
    // number a decimal, as LV2 control values are.
    if (number.find_first_of(".e") == std::string::npos)
        number += ".0";
    else if (number.find('e') != std::string::npos) {
        char fixed[64];
        const auto plain = std::to_chars(fixed, fixed + sizeof fixed, value, std::chars_format::fixed);
        number.assign(fixed, plain.ptr);
        if (number.find('.') == std::string::npos)
            number += ".0";
    }
    return number;
}

std::string turtleString(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

void writeUi(std::ostream& out, const Bundle& bundle)
{
    // Embedded in the host's window and run by its idle calls; the reading
    // port's values are what the graph shows, so hosts are asked for them.
    out << "<" << bundle.uiUri << ">\n"
        << "\ta ui:X11UI ;\n"
        << "\tlv2:requiredFeature ui:idleInterface, ui:parent ;\n"
        << "\tlv2:optionalFeature ui:resize, ui:touch ;\n"
        << "\tlv2:extensionData ui:idleInterface";
    for (const auto& plugin : bundle.plugins)
        if (plugin.reading)
            for (const auto& value : plugin.reading->values)
                out << " ;\n\tui:portNotification [\n\t\tui:plugin <" << plugin.uri << "> ;\n\t\tlv2:symbol "
                    << turtleString(value.symbol) << " ;\n\t\tui:notifyType ui:floatProtocol\n\t]";
    out << " .\n\n";
}

std::string manifestTurtle(const Bundle& bundle)
{
    std::ostringstream out;
    out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
        << "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n\n";
    for (const auto& plugin : bundle.plugins)
        out << "<" << plugin.uri << ">\n\ta lv2:Plugin ;\n\tlv2:binary <" << bundle.binary << "> ;\n\trdfs:seeAlso <"
            << bundle.pluginsFile << "> .\n\n";
    out << "<" << bundle.uiUri << ">\n\ta ui:X11UI ;\n\tui:binary <" << bundle.binary << "> ;\n\trdfs:seeAlso <"
        << bundle.pluginsFile << "> .\n";
    return out.str();
}

std::string pluginsTurtle(const Bundle& bundle)
{
    std::ostringstream out;
    out << prefixes;
    // The maker's project carries the maintainer, which hosts show as the
    // plug-ins' author.
    out << "<" << bundle.makerHomepage << ">\n\ta doap:Project ;\n\tdoap:name " << turtleString(bundle.makerName)
        << " ;\n\tdoap:maintainer [\n\t\tfoaf:name " << turtleString(bundle.makerName) << " ;\n\t\tfoaf:homepage <"
        << bundle.makerHomepage << ">\n\t] .\n\n";
    for (const auto& plugin : bundle.plugins)
        writePlugin(out, bundle, plugin);
    writeUi(out, bundle);
    return out.str();
}

} // namespace tarvel::lv2ttl
