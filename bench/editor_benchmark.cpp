// Cost of drawing the editor on the user-interface thread: a whole frame
// (opening the editor, a host's full redraw), the mapping graph's repaint
// (what every 50 ms timer tick costs), a knob's repaint when its value
// moves, and the same repaint when its pointer layer must be rebuilt first
// (after a geometry change). Each line reports ms per paint and the share
// of its budget: 5 ms for the whole frame, 1 ms for the graph.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include "editor/editor_view_tree.h"
#include "embedded_assets.h"
#include "framework/resource_cache.h"
#include "toolkit/cframe.h"
#include "toolkit/gdiplus_globals.h"
#include "views/my_knob.h"

namespace {

using namespace vantle::vst;

class Editor {
public:
    Editor()
        : cache([](const std::string& name) { return assetBytes(tarvel::uiAssets(), name); }),
          frame(VSTGUI::CRect(0, 0, 500, 256), nullptr), views(tarvel::createEditorViews(frame, cache, nullptr))
    {
        applyLayoutJson(assetText(tarvel::uiAssets(), tarvel::layoutAssetName()), views);
        tarvel::showMappingCurve(views, -20, true);
        frame.render();
    }
    MyKnob& knob() { return *dynamic_cast<MyKnob*>(views.at("ratioKnob")); }

    ResourceCache cache;
    VSTGUI::CFrame frame;
    ViewsByName views;
};

// Wall-clock time per paint over the whole loop, and its share of the budget.
class PaintTimer {
public:
    explicit PaintTimer(double budgetMs) : budget(budgetMs), start(std::chrono::steady_clock::now()) {}
    void report(benchmark::State& state) const
    {
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        const double perPaint = elapsed.count() / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
        state.counters["ms_per_paint"] = perPaint;
        state.counters["of_budget"] = perPaint / budget;
    }

private:
    double budget;
    std::chrono::steady_clock::time_point start;
};

void WholeFrame(benchmark::State& state)
{
    Editor editor;
    const PaintTimer timer(5.0);
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.frame.render());
    timer.report(state);
}

void MappingTimerTick(benchmark::State& state)
{
    Editor editor;
    double level = -40;
    const PaintTimer timer(1.0);
    for (auto _ : state) {
        level = level > -5 ? -40 : level + 0.5;
        tarvel::showMappingCurve(editor.views, level, true);
        benchmark::DoNotOptimize(editor.frame.renderInvalid());
    }
    timer.report(state);
}

void KnobValueChange(benchmark::State& state)
{
    Editor editor;
    float value = 0;
    const PaintTimer timer(1.0);
    for (auto _ : state) {
        value = value >= 1 ? 0 : value + 0.01f;
        editor.knob().setValue(value);
        editor.knob().invalid();
        benchmark::DoNotOptimize(editor.frame.renderInvalid());
    }
    timer.report(state);
}

void KnobWithPointerLayerBuild(benchmark::State& state)
{
    Editor editor;
    const picojson::value sameCentre(picojson::array{picojson::value(editor.knob().center.get().x),
                                                     picojson::value(editor.knob().center.get().y)});
    const PaintTimer timer(1.0);
    for (auto _ : state) {
        editor.knob().setProperty("center", sameCentre); // discards the layer
        benchmark::DoNotOptimize(editor.frame.renderInvalid());
    }
    timer.report(state);
}

BENCHMARK(WholeFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(MappingTimerTick)->Unit(benchmark::kMillisecond);
BENCHMARK(KnobValueChange)->Unit(benchmark::kMillisecond);
BENCHMARK(KnobWithPointerLayerBuild)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    VSTGUI::GDIPlusGlobals::enter();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    VSTGUI::GDIPlusGlobals::exit();
    return 0;
}
