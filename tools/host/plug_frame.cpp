#include "tools/host/plug_frame.h"

namespace tarvel::host {

using namespace Steinberg;

tresult PLUGIN_API PlugFrame::resizeView(IPlugView* view, ViewRect* newSize)
{
    if (!view || !newSize)
        return kInvalidArgument;
    requested.push_back(*newSize);
    if (refusesResizes)
        return kResultFalse;
    if (onResize)
        onResize(*newSize);
    return view->onSize(newSize);
}

tresult PLUGIN_API PlugFrame::queryInterface(const TUID queried, void** object)
{
    const tresult own = HostObject::queryInterface(queried, object);
    if (own == kResultOk || !offered)
        return own;
    return offered->queryInterface(queried, object);
}

} // namespace tarvel::host
