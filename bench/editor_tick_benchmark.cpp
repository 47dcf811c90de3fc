// The user-interface thread's cost of the editor's timer tick in a Linux
// host: the loaded module's editor in a harness window, its run loop
// driven for a few seconds while the processor runs, and the time spent
// inside the plug-in's timer callbacks divided by the editor's ticks (one
// every 50 ms: the request for the reading, the curve, the graph's repaint
// and its copy to the window), on the clock and as the thread's processor
// time (which a busy machine does not inflate). Needs an X server; starts
// Xvfb without one.
//   bench/tarvel_editor_tick_benchmark [seconds]

#include "tools/host/module_library.h"
#include "tools/host/platform/linux_run_loop.h"
#include "tools/host/platform/x11_host_window.h"
#include "tools/host/platform/x11_server.h"
#include "tools/host/plug_frame.h"
#include "tools/host/plugin_instance.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    using namespace Steinberg;
    using namespace std::chrono;
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    if (!tarvel::host::ensureXServer()) {
        std::fprintf(stderr, "no X server and no Xvfb\n");
        return 1;
    }
    tarvel::host::PluginModule module(TARVEL_MODULE_PATH);
    tarvel::host::PluginInstance plugin(module);
    plugin.start({Vst::kRealtime, Vst::kSample32, 512, 48000.0}, 2);
    IPtr<tarvel::host::RunLoop> loop = owned(new tarvel::host::RunLoop);
    IPtr<tarvel::host::PlugFrame> frame = owned(new tarvel::host::PlugFrame(loop.get()));
    tarvel::host::X11HostWindow window(600, 300);
    IPtr<IPlugView> view = owned(plugin.controller()->createView(Vst::ViewType::kEditor));
    view->setFrame(frame);
    if (view->attached(window.parent(), kPlatformTypeX11EmbedWindowID) != kResultTrue) {
        std::fprintf(stderr, "the editor did not open\n");
        return 1;
    }
    loop->run(milliseconds(500)); // the first whole paint is not a tick
    loop->timerTime = {};
    loop->timerCpuTime = {};
    loop->timerCalls = 0;
    plugin.fromController()->clearLog();
    loop->run(milliseconds(long(seconds * 1000)));
    const double ticks = double(plugin.fromController()->count("u2"));
    const double total = duration<double, std::milli>(loop->timerTime).count();
    const double processor = duration<double, std::milli>(loop->timerCpuTime).count();
    std::printf("editor ticks: %.0f in %.1f s; timer callbacks: %zu\n", ticks, seconds, loop->timerCalls);
    std::printf("UI-thread time per editor tick: %.3f ms on the clock, %.3f ms of processor time "
                "(%.0f %% of the 1 ms budget; %.2f %% of one core)\n",
                total / ticks, processor / ticks, processor / ticks * 100.0, processor / (seconds * 1000) * 100);
    view->removed();
    plugin.stop();
    return 0;
}
