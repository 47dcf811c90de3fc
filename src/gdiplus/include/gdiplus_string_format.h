#pragma once
#include "gdiplus_native.h"

namespace Gdiplus {

class StringFormat : public LastStatus {
public:
    StringFormat(INT formatFlags = 0, LANGID language = LANG_NEUTRAL);
    ~StringFormat();
    StringFormat(const StringFormat&) = delete;
    StringFormat& operator=(const StringFormat&) = delete;

    Status SetAlignment(StringAlignment align);
    StringAlignment GetAlignment() const;
    Status SetLineAlignment(StringAlignment align);
    StringAlignment GetLineAlignment() const;

protected:
    friend class Graphics;

    GpStringFormat* nativeFormat = nullptr;
};

} // namespace Gdiplus
