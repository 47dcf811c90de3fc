#pragma once
// The editor's views: which exist, in what order, under which names, and
// how they show the parameters and the measured loudness. The editor and
// tarvel-snapshot both build and fill the views here, so a snapshot shows
// exactly what a host shows.

#include "framework/layout_json.h"
#include "parameters/readout.h"

#include <cstdint>

namespace VSTGUI {
class CFrame;
class IControlListener;
} // namespace VSTGUI

namespace vantle::vst {
class ResourceCache;
}

namespace tarvel {

// Adds the views to the frame in drawing order and returns them by the
// names the layout document uses. The knobs report to listener and start at
// their parameters' defaults, which is also where Control-click returns them.
vantle::vst::ViewsByName createEditorViews(VSTGUI::CFrame& frame, vantle::vst::ResourceCache& resources,
                                           VSTGUI::IControlListener* listener);

// Moves the knob of parameter id to a normalised value; Target also moves
// the graph's cross-hair. True when the mapping curve depends on the id
// (Target and Ratio) and should be recomputed.
bool showParameterValue(const vantle::vst::ViewsByName& views, std::uint32_t id, double value);

// The graph's curve from the Target and Ratio knobs (as they are, mid-drag
// too) and its level marker from the processor's reading; invalidates the
// graph. Does nothing when a view is missing.
void showMappingCurve(const vantle::vst::ViewsByName& views, double meterValue, bool processorActive);

// The readout's lines for the processor's readout (dashes while it is not
// active or has no signal); the Stereo Ratio knob decides whether the side
// line shows. Redraws only lines whose text changed.
void showReadout(const vantle::vst::ViewsByName& views, const Readout& readout, bool processorActive);

// How many lines the readout has.
inline constexpr int readoutLineCount = 4;

} // namespace tarvel
