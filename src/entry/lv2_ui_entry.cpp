// The LV2 user interface's entry: the module's factory presented to an LV2
// host's user-interface side through the LV2 adapter's X11 interface.

#include <lv2/ui/ui.h>

#include <cstring>
#include <memory>

#include "entry/class_id_fuid.h"
#include "entry/factory.h"
#include "entry/lv2_description.h"
#include "entry/module_lifetime.h"
#include "sdk/lv2/lv2_ui.h"

namespace tarvel {
namespace {

using Steinberg::Vst::Lv2Ui;

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    moduleInit();
    std::unique_ptr<Lv2Ui> ui;
    try {
        Steinberg::TUID classId;
        toFuid(controllerClassId()).toTUID(classId);
        ui = Lv2Ui::create(lv2Plugins().front(), lv2Ui(), createFactory(), classId, {write, controller, features},
                           widget);
    } catch (...) {
    }
    if (!ui) {
        // Torn down before the reference goes, as cleanup would.
        ui.reset();
        moduleExit();
    }
    return ui.release();
}

void cleanup(LV2UI_Handle handle)
{
    try {
        delete static_cast<Lv2Ui*>(handle);
    } catch (...) {
    }
    moduleExit();
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    try {
        static_cast<Lv2Ui*>(handle)->portEvent(port, size, format, buffer);
    } catch (...) {
    }
}

const void* extensionData(const char* uri)
{
    if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0)
        return &Lv2Ui::idleInterface;
    return nullptr;
}

} // namespace
} // namespace tarvel

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
    try {
        static const LV2UI_Descriptor descriptor{tarvel::lv2Ui().uri.c_str(), tarvel::instantiate, tarvel::cleanup,
                                                 tarvel::portEvent, tarvel::extensionData};
        return index == 0 ? &descriptor : nullptr;
    } catch (...) {
        return nullptr;
    }
}
