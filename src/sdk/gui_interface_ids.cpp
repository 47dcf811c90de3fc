// Interface ids of the GUI interfaces the SDK subset declares but does not
// define anywhere in its sources (the editor view classes need them).

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/gui/iplugview.h"

namespace Steinberg {
DEF_CLASS_IID(IPlugView)
DEF_CLASS_IID(IPlugFrame)
} // namespace Steinberg
