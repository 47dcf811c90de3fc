#pragma once
// The plug-in's editor: four knobs and the loudness-mapping graph, kept in
// step with the parameters both ways, the graph following the processor's
// loudness reading on every timer tick.

#include "framework/editor_base.h"
#include "parameters/parameters.h"

#include <chrono>

namespace tarvel {

class Editor : public vantle::vst::EditorBase<Parameters> {
public:
    explicit Editor(Steinberg::Vst::EditController* owner);

    void onParameterChanged(ParamID id, ParamValue value) override;
    void createViews() override;
    std::string getLayoutJson() override;
    std::string getLayoutReloadPath() override { return {}; }
    std::string getLayoutLogPath() override { return {}; }
    const vantle::vst::AssetRegistry& getUiAssets() override;
    const vantle::vst::AssetRegistry& getManualAssets() override;

    // Asks the processor for its reading, redraws the graph, then the
    // framework's duties.
    VSTGUI::CMessageResult notify(VSTGUI::CBaseObject* sender, VSTGUI::IdStringPtr message) override;

    // The curve from the Target and Ratio knobs and the marker from the
    // controller's latest reading.
    void updateMappingCurve();

    // The readout from the controller's latest reading: at most four times
    // a second, so that the numbers hold still enough to be read, unless
    // now (a knob that changes what it shows).
    void updateReadout(bool now);

private:
    std::chrono::steady_clock::time_point lastReadout{};
    bool readoutShown = false;
};

} // namespace tarvel
