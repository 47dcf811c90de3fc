#pragma once
// A derived class ID as the SDK's FUID, byte for byte.

#include <cstring>

#include "entry/class_ids.h"
#include "pluginterfaces/base/funknown.h"

namespace tarvel {

inline Steinberg::FUID toFuid(const ClassId& id)
{
    Steinberg::TUID bytes;
    std::memcpy(bytes, id.data(), sizeof(bytes));
    return Steinberg::FUID::fromTUID(bytes);
}

} // namespace tarvel
