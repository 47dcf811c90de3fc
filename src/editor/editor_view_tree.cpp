#include "editor/editor_view_tree.h"

#include "foundation/scrambled_text.h"
#include "parameters/mapping_curve.h"
#include "parameters/parameter_table.h"
#include "toolkit/cframe.h"
#include "views/my_knob.h"
#include "views/my_loudness_mapping.h"
#include "views/vn_line.h"
#include "views/vn_rect.h"
#include "views/vn_text.h"

#include <algorithm>
#include <array>
#include <string>

namespace tarvel {

using vantle::vst::MyKnob;
using vantle::vst::MyLoudnessMapping;
using vantle::vst::ViewsByName;

namespace {

struct KnobEntry {
    vantle::ScrambledLiteral name;
    ParameterId id;
    std::int32_t steps;
};

// In drawing order. Speed is a two-position switch.
const std::array<KnobEntry, 4>& knobEntries()
{
    static const std::array<KnobEntry, 4> entries{{
        {vantle::scrambleText("targetKnob"), Target, 0},
        {vantle::scrambleText("ratioKnob"), Ratio, 0},
        {vantle::scrambleText("stereoRatioKnob"), StereoRatio, 0},
        {vantle::scrambleText("speedKnob"), Speed, 1},
    }};
    return entries;
}

std::string mappingName() { return VANTLE_TEXT("mapping"); }

std::string readoutLineName(int line) { return VANTLE_TEXT("readout") + std::to_string(line); }

template <typename View>
View* find(const ViewsByName& views, const std::string& name)
{
    const auto found = views.find(name);
    return found == views.end() ? nullptr : dynamic_cast<View*>(found->second);
}

MyKnob* knobOf(const ViewsByName& views, std::uint32_t id)
{
    for (const KnobEntry& entry : knobEntries())
        if (std::uint32_t(entry.id) == id)
            return find<MyKnob>(views, vantle::decodeLiteral(entry.name));
    return nullptr;
}

} // namespace

ViewsByName createEditorViews(VSTGUI::CFrame& frame, vantle::vst::ResourceCache& resources,
                              VSTGUI::IControlListener* listener)
{
    using namespace vantle::vst;
    ViewsByName views;
    const auto add = [&](const std::string& name, VSTGUI::CView* view) {
        frame.addView(view);
        views[name] = view;
    };
    const VSTGUI::CPoint origin(0, 0);
    add(VANTLE_TEXT("background"), new VNRect);
    for (const auto& [group, count] : {std::pair{'A', 3}, {'B', 3}, {'C', 3}, {'D', 2}})
        for (int i = 0; i < count; ++i)
            add(VANTLE_TEXT("label") + group + std::to_string(i), new VNText(origin, &resources));
    add(VANTLE_TEXT("divider"), new VNLine(origin));
    for (int i = 1; i <= 5; ++i)
        add(VANTLE_TEXT("caption") + std::to_string(i), new VNText(origin, &resources));
    for (const KnobEntry& entry : knobEntries()) {
        auto* knob = new MyKnob(origin, listener, entry.id, &resources, entry.steps);
        knob->setDefaultValue(defaultValue(entry.id));
        knob->setValue(defaultValue(entry.id));
        add(vantle::decodeLiteral(entry.name), knob);
    }
    add(mappingName(), new MyLoudnessMapping(origin, &resources));
    // The readout sits in the graph's lower right, which the curve never
    // reaches: at loud inputs the output stays above -36 LUFS (the lowest
    // target, 4:1); only the reached part's fill passes behind it.
    add(VANTLE_TEXT("readoutPanel"), new VNRect);
    for (int i = 0; i < readoutLineCount; ++i)
        add(readoutLineName(i), new VNText(origin, &resources));
    return views;
}

bool showParameterValue(const ViewsByName& views, std::uint32_t id, double value)
{
    if (MyKnob* knob = knobOf(views, id))
        knob->setValue(float(value));
    if (id == std::uint32_t(Target))
        if (auto* mapping = find<MyLoudnessMapping>(views, mappingName()))
            mapping->targetLevel = mappingTargetLevel(float(value));
    return id == std::uint32_t(Target) || id == std::uint32_t(Ratio);
}

void showMappingCurve(const ViewsByName& views, double meterValue, bool processorActive)
{
    auto* mapping = find<MyLoudnessMapping>(views, mappingName());
    const MyKnob* target = knobOf(views, Target);
    const MyKnob* ratio = knobOf(views, Ratio);
    if (!mapping || !target || !ratio)
        return;
    mapping->currentLevel = levelMarker(meterValue, processorActive);
    mapping->curvePoints.clear();
    for (const LevelPoint& point : mappingCurvePoints(target->getValue(), ratio->getValue()))
        mapping->curvePoints.emplace_back(point.input, point.output);
    mapping->invalid();
}

void showReadout(const ViewsByName& views, const Readout& readout, bool processorActive)
{
    const MyKnob* stereoRatio = knobOf(views, StereoRatio);
    Readout shown = readout;
    if (!processorActive)
        shown.input = -1000.0;
    const auto lines = readoutLines(shown, stereoRatio ? stereoRatio->getValue() : 0.0f);
    int shownLines = 0;
    for (int i = 0; i < readoutLineCount; ++i) {
        if (auto* text = find<vantle::vst::VNText>(views, readoutLineName(i)))
            if (text->text.get() != lines[std::size_t(i)])
                text->text.set(lines[std::size_t(i)]);
        if (!lines[std::size_t(i)].empty())
            shownLines = i + 1;
    }
    // The panel behind ends as far below the last line shown as it starts
    // above the first.
    auto* panel = find<vantle::vst::VNRect>(views, VANTLE_TEXT("readoutPanel"));
    const auto* first = find<vantle::vst::VNText>(views, readoutLineName(0));
    const auto* last = find<vantle::vst::VNText>(views, readoutLineName(std::max(shownLines, 1) - 1));
    if (!panel || !first || !last)
        return;
    VSTGUI::CRect area = panel->rect.get();
    const double bottom = last->position.get().y + (first->position.get().y - area.top);
    if (area.bottom != bottom) {
        area.bottom = bottom;
        panel->rect.set(area);
    }
}

} // namespace tarvel
