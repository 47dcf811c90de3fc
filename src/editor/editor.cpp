#include "editor/editor.h"

#include "editor/editor_view_tree.h"
#include "editor/loudness_reading.h"
#include "embedded_assets.h"
#include "foundation/scrambled_text.h"
#include "framework/messages.h"
#include "protocol/messages.h"

#include <cstring>

namespace tarvel {

Editor::Editor(Steinberg::Vst::EditController* owner) : EditorBase(owner, VANTLE_TEXT("Tarvel")) {}

void Editor::createViews()
{
    if (frame && resourceCache)
        viewsByName = createEditorViews(*frame, *resourceCache, this);
}

std::string Editor::getLayoutJson() { return vantle::vst::assetText(uiAssets(), layoutAssetName()); }

const vantle::vst::AssetRegistry& Editor::getUiAssets() { return uiAssets(); }

const vantle::vst::AssetRegistry& Editor::getManualAssets() { return manualAssets(); }

void Editor::onParameterChanged(ParamID id, ParamValue value)
{
    try {
        if (showParameterValue(viewsByName, id, value))
            updateMappingCurve();
        if (id == StereoRatio)
            updateReadout(true);
    } catch (...) {
    }
}

void Editor::updateMappingCurve()
{
    const auto* reading = dynamic_cast<const LoudnessReading*>(getController());
    if (!reading)
        return;
    showMappingCurve(viewsByName, reading->meterValue(), reading->isProcessorActive());
}

void Editor::updateReadout(bool now)
{
    const auto* reading = dynamic_cast<const LoudnessReading*>(getController());
    if (!reading)
        return;
    const auto time = std::chrono::steady_clock::now();
    if (!now && readoutShown && time - lastReadout < std::chrono::milliseconds(250))
        return;
    lastReadout = time;
    readoutShown = true;
    showReadout(viewsByName, reading->readout(), reading->isProcessorActive());
}

VSTGUI::CMessageResult Editor::notify(VSTGUI::CBaseObject* sender, VSTGUI::IdStringPtr message)
{
    try {
        if (message && std::strcmp(message, VSTGUI::CVSTGUITimer::kMsgTimer) == 0) {
            if (const auto* owner = getController())
                vantle::vst::sendToPeer(*owner, messages::meterRequest);
            updateMappingCurve();
            updateReadout(false);
        }
    } catch (...) {
    }
    return EditorBase::notify(sender, message);
}

} // namespace tarvel
