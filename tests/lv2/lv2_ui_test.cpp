// The LV2 user interface through suil, the library hosts embed interfaces
// with, in a host's X11 window: what the offscreen render shows, port
// events moving knobs and the graph, a drag reaching the host's write
// function inside touch gestures, and many open/close cycles leaving
// nothing behind.

#include <gtest/gtest.h>
#include <lv2/ui/ui.h>
#include <suil/suil.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "editor_host/editor_reference.h"
#include "lv2/lv2_world.h"
#include "tools/host/platform/x11_host_window.h"
#include "tools/host/platform/x11_server.h"

namespace tarvel::test {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t ratioPort = 2, targetPort = 4, loudnessPort = 6;
// The readout's ports after the loudness: output loudness, gain, side gain,
// stereo.
constexpr std::uint32_t outputPort = 7, gainPort = 8, sideGainPort = 9, stereoPort = 10;
// Where the layout puts Ratio's knob.
constexpr int ratioX = 178, ratioY = 86;

struct HostCall {
    enum class Kind { Write, TouchBegin, TouchEnd } kind;
    std::uint32_t port;
    float value;
};

// The host's side: the calls suil passes on, the idle calls, port events.
class SuilHostWindow {
public:
    explicit SuilHostWindow(host::X11HostWindow& parent, bool offerTouch = true, bool offerParent = true)
        : window(parent)
    {
        suilHost = suil_host_new(&SuilHostWindow::writeEntry, nullptr, nullptr, nullptr);
        if (offerTouch)
            suil_host_set_touch_func(suilHost, &SuilHostWindow::touchEntry);
        Lv2World& world = Lv2World::shared();
        const LilvPlugin* plugin = world.plugin(stereoUri);
        LilvUIs* uis = lilv_plugin_get_uis(plugin);
        const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
        uiUri = lilv_node_as_uri(lilv_ui_get_uri(ui));
        char* bundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui)), nullptr);
        char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
        const LV2_Feature parentFeature{LV2_UI__parent, window.parent()};
        const LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
        const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
        const LV2_Feature* features[] = {&idleFeature, &resizeFeature, offerParent ? &parentFeature : nullptr,
                                         nullptr};
        instance = suil_instance_new(suilHost, this, LV2_UI__X11UI, stereoUri, uiUri.c_str(), LV2_UI__X11UI, bundle,
                                     binary, features);
        lilv_free(bundle);
        lilv_free(binary);
        lilv_uis_free(uis);
        if (instance)
            idleInterface = static_cast<const LV2UI_Idle_Interface*>(
                suil_instance_extension_data(instance, LV2_UI__idleInterface));
    }
    ~SuilHostWindow()
    {
        if (instance)
            suil_instance_free(instance);
        suil_host_free(suilHost);
    }

    bool open() const { return instance && idleInterface; }
    unsigned long widget() const { return reinterpret_cast<unsigned long>(suil_instance_get_widget(instance)); }
    void portEvent(std::uint32_t port, float value) { suil_instance_port_event(instance, port, sizeof value, 0, &value); }
    void idle() { idleInterface->idle(suil_instance_get_handle(instance)); }
    // Idles until the condition holds, for at most a few seconds.
    bool idleUntil(const std::function<bool()>& condition)
    {
        const auto end = std::chrono::steady_clock::now() + 5s;
        while (!condition() && std::chrono::steady_clock::now() < end) {
            idle();
            std::this_thread::sleep_for(5ms);
        }
        return condition();
    }
    void idleFor(std::chrono::milliseconds time)
    {
        const auto end = std::chrono::steady_clock::now() + time;
        idleUntil([&] { return std::chrono::steady_clock::now() >= end; });
    }
    // What a running stereo instance's reading ports say for this input
    // loudness and these values.
    void readingEvents(const std::array<double, 5>& values, double loudness)
    {
        const Readout readout = referenceReadout(values, loudness, true);
        portEvent(outputPort, static_cast<float>(readout.output));
        portEvent(gainPort, static_cast<float>(readout.gain));
        portEvent(sideGainPort, static_cast<float>(readout.sideGain));
        portEvent(stereoPort, readout.stereo ? 1.0f : 0.0f);
        portEvent(loudnessPort, static_cast<float>(loudness));
    }
    int differenceOnScreen(const std::vector<std::uint32_t>& expected)
    {
        int difference = 256;
        idleUntil([&] { return (difference = largestDifference(window.capture(0, 0, 500, 256), expected)) <= 2; });
        return difference;
    }

    std::vector<HostCall> calls;
    std::vector<std::pair<int, int>> sizes;

private:
    static void writeEntry(SuilController controller, uint32_t port, uint32_t size, uint32_t protocol,
                           const void* buffer)
    {
        auto* self = static_cast<SuilHostWindow*>(controller);
        if (protocol == 0 && size == sizeof(float))
            self->calls.push_back({HostCall::Kind::Write, port, *static_cast<const float*>(buffer)});
    }
    static void touchEntry(SuilController controller, uint32_t port, bool grabbed)
    {
        static_cast<SuilHostWindow*>(controller)->calls.push_back(
            {grabbed ? HostCall::Kind::TouchBegin : HostCall::Kind::TouchEnd, port, 0.0f});
    }
    static int resizeEntry(LV2UI_Feature_Handle handle, int width, int height)
    {
        static_cast<SuilHostWindow*>(handle)->sizes.emplace_back(width, height);
        return 0;
    }

    host::X11HostWindow& window;
    SuilHost* suilHost = nullptr;
    SuilInstance* instance = nullptr;
    const LV2UI_Idle_Interface* idleInterface = nullptr;
    LV2UI_Resize resize{this, &SuilHostWindow::resizeEntry};
    std::string uiUri;
};

class Lv2UiInHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(host::ensureXServer()) << "no X server and no Xvfb"; }
    host::X11HostWindow window{600, 300};
};

TEST_F(Lv2UiInHost, ShowsWhatTheOffscreenRenderShowsAndFollowsPortEvents)
{
    const int errors = host::X11HostWindow::errorCount();
    SuilHostWindow ui(window);
    ASSERT_TRUE(ui.open());
    const std::vector<unsigned long> children = window.children();
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(ui.widget(), children[0]) << "the widget is the editor's window";
    ASSERT_FALSE(ui.sizes.empty());
    EXPECT_EQ(ui.sizes.back(), (std::pair<int, int>{500, 256}));

    // Hosts send every control port's value once the interface is open.
    const std::array<float, 5> plain = {1.0f, 0.0f, 3.0f, 1.5f, -24.0f};
    for (std::uint32_t port = 0; port < plain.size(); ++port)
        ui.portEvent(port, plain[port]);
    std::array<double, 5> normalised = {0.0, 0.0, std::log(3.0) / std::log(4.0), std::log(1.5) / std::log(4.0),
                                        1.0 - 24.0 / 40.0};
    // Before any reading the graph shows no input, as with a processor that
    // has not run.
    EXPECT_LE(ui.differenceOnScreen(referenceEditor(normalised, -1000, false)), 2);

    // The host moves Target; a reading arrives from the running instance.
    ui.portEvent(targetPort, -12.0f);
    normalised[4] = 1.0 - 12.0 / 40.0;
    ui.readingEvents(normalised, -18.0);
    EXPECT_LE(ui.differenceOnScreen(referenceEditor(normalised, -18.0, true)), 2);
    ui.readingEvents(normalised, -35.0);
    EXPECT_LE(ui.differenceOnScreen(referenceEditor(normalised, -35.0, true)), 2);
    // The readings draw different fills, or the comparisons above could not
    // tell them apart.
    EXPECT_GT(largestDifference(referenceEditor(normalised, -18.0, true), referenceEditor(normalised, -35.0, true)), 2);
    EXPECT_TRUE(ui.calls.empty()) << "port events are not edits";
    EXPECT_EQ(host::X11HostWindow::errorCount(), errors);
}

TEST_F(Lv2UiInHost, ADragOnRatioReachesTheWriteFunctionInsideTouchGestures)
{
    SuilHostWindow ui(window);
    ASSERT_TRUE(ui.open());
    ui.portEvent(ratioPort, 2.0f);
    ui.idleUntil([&] { return window.capture(250, 128, 1, 1)[0] != 0xFF000000u; });
    const auto lastKind = [&] { return ui.calls.empty() ? HostCall::Kind::Write : ui.calls.back().kind; };
    // From the knob's top (2:1) round to its right: 90 of 240 degrees more.
    window.moveTo(ratioX, ratioY - 25);
    window.press(1);
    ui.idleUntil([&] { return !ui.calls.empty(); });
    window.moveTo(ratioX + 25, ratioY);
    ui.idleUntil([&] { return ui.calls.size() > 1; });
    window.release(1);
    ASSERT_TRUE(ui.idleUntil([&] { return lastKind() == HostCall::Kind::TouchEnd; }));

    ASSERT_GE(ui.calls.size(), 3u);
    EXPECT_EQ(ui.calls.front().kind, HostCall::Kind::TouchBegin);
    for (const HostCall& call : ui.calls)
        EXPECT_EQ(call.port, ratioPort);
    const HostCall& lastWrite = ui.calls[ui.calls.size() - 2];
    ASSERT_EQ(lastWrite.kind, HostCall::Kind::Write);
    // 0.875 of the knob's range is a ratio of 4^0.875, in the port's units.
    EXPECT_NEAR(lastWrite.value, std::pow(4.0, 0.875), 0.03);

    // The host's echo of the write leaves the knob where the drag put it.
    const std::vector<std::uint32_t> dragged = window.capture(0, 0, 500, 256);
    ui.portEvent(ratioPort, lastWrite.value);
    ui.idleFor(300ms);
    EXPECT_LE(largestDifference(window.capture(0, 0, 500, 256), dragged), 2);
}

TEST_F(Lv2UiInHost, WithoutTouchTheDragStillWrites)
{
    SuilHostWindow ui(window, false);
    ASSERT_TRUE(ui.open());
    ui.idleUntil([&] { return window.capture(250, 128, 1, 1)[0] != 0xFF000000u; });
    window.moveTo(ratioX, ratioY - 25);
    window.press(1);
    ui.idleFor(200ms);
    window.moveTo(ratioX + 25, ratioY);
    ui.idleUntil([&] { return !ui.calls.empty(); });
    window.release(1);
    ui.idleFor(200ms);
    ASSERT_FALSE(ui.calls.empty());
    for (const HostCall& call : ui.calls)
        EXPECT_EQ(call.kind, HostCall::Kind::Write);
}

TEST_F(Lv2UiInHost, AHostWithoutAParentWindowGetsNoInterfaceAndNoWindow)
{
    SuilHostWindow ui(window, true, false);
    EXPECT_FALSE(ui.open());
    window.sync();
    EXPECT_TRUE(window.children().empty());
}

std::size_t openDescriptors()
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

TEST_F(Lv2UiInHost, TwoHundredOpenCloseCyclesLeaveNothing)
{
    const int errors = host::X11HostWindow::errorCount();
    {
        // The first opening loads the module; what stays from it is not a leak.
        SuilHostWindow warmUp(window);
        ASSERT_TRUE(warmUp.open());
        warmUp.idle();
    }
    const std::size_t descriptors = openDescriptors();
    for (int cycle = 0; cycle < 200; ++cycle) {
        SuilHostWindow ui(window);
        ASSERT_TRUE(ui.open()) << "cycle " << cycle;
        ui.portEvent(loudnessPort, -20.0f);
        ui.idle();
    }
    window.sync();
    EXPECT_TRUE(window.children().empty());
    EXPECT_EQ(openDescriptors(), descriptors);
    EXPECT_EQ(host::X11HostWindow::errorCount(), errors);
}

} // namespace
} // namespace tarvel::test
