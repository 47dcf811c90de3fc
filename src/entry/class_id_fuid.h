#pragma once
// A derived class ID as the SDK's FUID, in this platform's byte layout.

#include "entry/class_ids.h"
#include "pluginterfaces/base/funknown.h"

namespace tarvel {

inline Steinberg::FUID toFuid(const ClassId& id) { return Steinberg::FUID(id.l1, id.l2, id.l3, id.l4); }

} // namespace tarvel
