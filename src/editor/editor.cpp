#include "editor/editor.h"

#include "controller/controller.h"
#include "editor/editor_view_tree.h"
#include "embedded_assets.h"
#include "framework/messages.h"
#include "processor/messages.h"

#include <cstring>

namespace tarvel {

Editor::Editor(Steinberg::Vst::EditController* owner) : EditorBase(owner) {}

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
    } catch (...) {
    }
}

void Editor::updateMappingCurve()
{
    const auto* owner = dynamic_cast<Controller*>(getController());
    if (!owner)
        return;
    showMappingCurve(viewsByName, owner->meterValue(), owner->isProcessorActive());
}

VSTGUI::CMessageResult Editor::notify(VSTGUI::CBaseObject* sender, VSTGUI::IdStringPtr message)
{
    try {
        if (message && std::strcmp(message, VSTGUI::CVSTGUITimer::kMsgTimer) == 0) {
            if (const auto* owner = getController())
                vantle::vst::sendToPeer(*owner, messages::meterRequest);
            updateMappingCurve();
        }
    } catch (...) {
    }
    return EditorBase::notify(sender, message);
}

} // namespace tarvel
