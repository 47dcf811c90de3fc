#pragma once
// Nothing thrown inside the plug-in may cross into the host.

#include "pluginterfaces/base/funknown.h"

namespace vantle::vst {

template <typename Body>
Steinberg::tresult guarded(Body body) noexcept
{
    try {
        return body();
    } catch (...) {
        return Steinberg::kResultFalse;
    }
}

} // namespace vantle::vst
