#include "sdk/vst2/vst2_editor.h"

#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg::Vst {

std::unique_ptr<Vst2Editor> createVst2Editor(IEditController& controller, vst2::AEffect& /*effect*/,
                                             vst2::audioMasterCallback /*audioMaster*/)
{
    // No view can be shown in a VST 2 host's window yet, so a view the
    // controller offers is released again and the host told "no editor".
    if (IPlugView* view = controller.createView(ViewType::kEditor))
        view->release();
    return nullptr;
}

} // namespace Steinberg::Vst
