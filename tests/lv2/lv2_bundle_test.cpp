// The bundle as LV2 hosts read it through lilv: discovery from LV2_PATH,
// the ports with their ranges, defaults, units and designations, and Turtle
// that loads without a complaint and passes Debian's schema validator.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "lv2/lv2_world.h"

namespace tarvel::test {
namespace {

const std::string lv2Core = "http://lv2plug.in/ns/lv2core#";

struct ExpectedControl {
    const char* symbol;
    float minimum, maximum, defaultValue;
};

// The display ranges the other formats show: Target -40 to 0 LUFS, the
// ratios 1:1 to 4:1, Speed Fast (0) or Slow (1), Bypass off.
const ExpectedControl expectedControls[] = {
    {"enabled", 0.0f, 1.0f, 1.0f}, {"speed", 0.0f, 1.0f, 1.0f},   {"ratio", 1.0f, 4.0f, 2.0f},
    {"stereo_ratio", 1.0f, 4.0f, 1.0f}, {"target", -40.0f, 0.0f, -20.0f},
};

class Lv2Bundle : public ::testing::TestWithParam<const char*> {
protected:
    Lv2World& world = Lv2World::shared();
    const LilvPlugin* plugin = world.plugin(GetParam());

    const LilvPort* port(const char* symbol)
    {
        LilvNode* node = lilv_new_string(world.world(), symbol);
        const LilvPort* found = lilv_plugin_get_port_by_symbol(plugin, node);
        lilv_node_free(node);
        return found;
    }
    bool hasProperty(const LilvPort* p, const std::string& property)
    {
        return lilv_port_has_property(plugin, p, world.uri(property));
    }
    bool isA(const LilvPort* p, const char* type) { return lilv_port_is_a(plugin, p, world.uri(type)); }
};

TEST(Lv2Discovery, BothPluginsLoadFromTheTemporaryPathWithoutAWord)
{
    Lv2World& world = Lv2World::shared();
    EXPECT_EQ(world.loadMessages(), "");
    ASSERT_NE(world.plugin(stereoUri), nullptr);
    ASSERT_NE(world.plugin(monoUri), nullptr);
    for (const char* uri : {stereoUri, monoUri}) {
        const LilvPlugin* plugin = world.plugin(uri);
        EXPECT_TRUE(lilv_plugin_verify(plugin)) << uri;
        const std::string bundle = lilv_node_as_uri(lilv_plugin_get_bundle_uri(plugin));
        EXPECT_NE(bundle.find(world.bundle().string()), std::string::npos) << bundle;
        LilvNode* name = lilv_plugin_get_name(plugin);
        EXPECT_EQ(std::string(lilv_node_as_string(name)).rfind("Tarvel", 0), 0u);
        lilv_node_free(name);
        LilvNode* author = lilv_plugin_get_author_name(plugin);
        ASSERT_NE(author, nullptr);
        EXPECT_STREQ(lilv_node_as_string(author), "Vantle Audio");
        lilv_node_free(author);
        EXPECT_STREQ(lilv_node_as_uri(lilv_plugin_class_get_uri(lilv_plugin_get_class(plugin))),
                     (lv2Core + "CompressorPlugin").c_str());
    }
}

TEST(Lv2Discovery, TheTurtlePassesTheSchemaValidator)
{
    if (std::system("command -v sord_validate >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "sord_validate (Debian package sordi) is not installed";
    const std::string bundle = Lv2World::shared().bundle().string();
    const std::string command = "sord_validate /usr/lib/lv2/core.lv2/*.ttl /usr/lib/lv2/port-props.lv2/*.ttl "
                                "/usr/lib/lv2/units.lv2/*.ttl /usr/lib/lv2/schemas.lv2/*.ttl /usr/lib/lv2/ui.lv2/*.ttl "
                                "/usr/lib/lv2/options.lv2/*.ttl /usr/lib/lv2/urid.lv2/*.ttl " +
                                bundle + "/*.ttl 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string report;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        report += buffer;
    const int status = ::pclose(pipe);
    EXPECT_EQ(status, 0) << report;
    EXPECT_NE(report.find("Found 0 errors"), std::string::npos) << report;
}

TEST_P(Lv2Bundle, ControlPortsCarryTheDisplayRangesAndDefaults)
{
    ASSERT_NE(plugin, nullptr);
    for (const ExpectedControl& expected : expectedControls) {
        const LilvPort* p = port(expected.symbol);
        ASSERT_NE(p, nullptr) << expected.symbol;
        EXPECT_TRUE(isA(p, LILV_URI_INPUT_PORT) && isA(p, LILV_URI_CONTROL_PORT)) << expected.symbol;
        LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
        lilv_port_get_range(plugin, p, &def, &min, &max);
        ASSERT_TRUE(def && min && max) << expected.symbol;
        EXPECT_FLOAT_EQ(lilv_node_as_float(min), expected.minimum) << expected.symbol;
        EXPECT_FLOAT_EQ(lilv_node_as_float(max), expected.maximum) << expected.symbol;
        EXPECT_FLOAT_EQ(lilv_node_as_float(def), expected.defaultValue) << expected.symbol;
        lilv_node_free(def);
        lilv_node_free(min);
        lilv_node_free(max);
    }
    // Units as the other formats label them.
    LilvNodes* units = lilv_port_get_value(plugin, port("target"),
                                           world.uri("http://lv2plug.in/ns/extensions/units#unit"));
    ASSERT_EQ(lilv_nodes_size(units), 1u);
    LilvNodes* symbol = lilv_world_find_nodes(world.world(), lilv_nodes_get_first(units),
                                              world.uri("http://lv2plug.in/ns/extensions/units#symbol"), nullptr);
    ASSERT_EQ(lilv_nodes_size(symbol), 1u);
    EXPECT_STREQ(lilv_node_as_string(lilv_nodes_get_first(symbol)), "LUFS");
    lilv_nodes_free(symbol);
    lilv_nodes_free(units);
    EXPECT_TRUE(hasProperty(port("ratio"), "http://lv2plug.in/ns/ext/port-props#logarithmic"));
}

TEST_P(Lv2Bundle, SpeedIsAnEnumerationOfTwoLabelledPoints)
{
    ASSERT_NE(plugin, nullptr);
    const LilvPort* speed = port("speed");
    EXPECT_TRUE(hasProperty(speed, lv2Core + "enumeration"));
    EXPECT_TRUE(hasProperty(speed, lv2Core + "integer"));
    LilvScalePoints* points = lilv_port_get_scale_points(plugin, speed);
    ASSERT_EQ(lilv_scale_points_size(points), 2u);
    std::map<float, std::string> labels;
    LILV_FOREACH (scale_points, i, points) {
        const LilvScalePoint* point = lilv_scale_points_get(points, i);
        labels[lilv_node_as_float(lilv_scale_point_get_value(point))] =
            lilv_node_as_string(lilv_scale_point_get_label(point));
    }
    lilv_scale_points_free(points);
    EXPECT_EQ(labels, (std::map<float, std::string>{{0.0f, "Fast"}, {1.0f, "Slow"}}));
}

TEST_P(Lv2Bundle, BypassIsTheHostsEnabledSwitchAndLatencyIsReported)
{
    ASSERT_NE(plugin, nullptr);
    const LilvPort* enabled =
        lilv_plugin_get_port_by_designation(plugin, world.uri(LILV_URI_INPUT_PORT), world.uri(lv2Core + "enabled"));
    ASSERT_NE(enabled, nullptr);
    EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(plugin, enabled)), "enabled");
    EXPECT_TRUE(hasProperty(enabled, lv2Core + "toggled"));

    ASSERT_TRUE(lilv_plugin_has_latency(plugin));
    const LilvPort* latency = lilv_plugin_get_port_by_index(plugin, lilv_plugin_get_latency_port_index(plugin));
    EXPECT_TRUE(isA(latency, LILV_URI_OUTPUT_PORT) && isA(latency, LILV_URI_CONTROL_PORT));
    EXPECT_TRUE(hasProperty(latency, lv2Core + "reportsLatency"));
    EXPECT_EQ(lilv_plugin_get_port_by_designation(plugin, world.uri(LILV_URI_OUTPUT_PORT),
                                                  world.uri(lv2Core + "latency")),
              latency);

    LilvNodes* optional = lilv_plugin_get_optional_features(plugin);
    EXPECT_TRUE(lilv_nodes_contains(optional, world.uri(lv2Core + "hardRTCapable")));
    lilv_nodes_free(optional);
    LilvNodes* required = lilv_plugin_get_required_features(plugin);
    EXPECT_EQ(lilv_nodes_size(required), 0u);
    lilv_nodes_free(required);
}

TEST_P(Lv2Bundle, AudioPortsMatchTheChannelLayout)
{
    ASSERT_NE(plugin, nullptr);
    const unsigned channels = std::string(GetParam()) == stereoUri ? 2u : 1u;
    const LilvNode* audio = world.uri(LILV_URI_AUDIO_PORT);
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(plugin, audio, world.uri(LILV_URI_INPUT_PORT), nullptr), channels);
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(plugin, audio, world.uri(LILV_URI_OUTPUT_PORT), nullptr), channels);
    // Five parameters, the latency and five readings (input and output
    // loudness, gain, side gain, stereo), numbered alike in both plug-ins.
    EXPECT_EQ(lilv_plugin_get_num_ports(plugin), 11u + 2u * channels);
    const LilvPort* loudness = port("loudness");
    ASSERT_NE(loudness, nullptr);
    EXPECT_TRUE(isA(loudness, LILV_URI_OUTPUT_PORT) && isA(loudness, LILV_URI_CONTROL_PORT));
    EXPECT_EQ(lilv_port_get_index(plugin, loudness), 6u);
    EXPECT_EQ(lilv_port_get_index(plugin, port("target")), 4u);
}

INSTANTIATE_TEST_SUITE_P(StereoAndMono, Lv2Bundle, ::testing::Values(stereoUri, monoUri));

} // namespace
} // namespace tarvel::test
