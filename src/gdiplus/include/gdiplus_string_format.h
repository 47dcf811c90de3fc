#pragma once
#include "gdiplus_native.h"

namespace Gdiplus {

class StringFormat {
public:
    StringFormat(INT formatFlags = 0, LANGID language = LANG_NEUTRAL);
    ~StringFormat();
    StringFormat(const StringFormat&) = delete;
    StringFormat& operator=(const StringFormat&) = delete;

    Status SetAlignment(StringAlignment align);
    StringAlignment GetAlignment() const;
    Status SetLineAlignment(StringAlignment align);
    StringAlignment GetLineAlignment() const;
    Status GetLastStatus() const;

protected:
    friend class Graphics;
    Status SetStatus(Status status) const;

    GpStringFormat* nativeFormat = nullptr;
    mutable Status lastResult = Ok;
};

} // namespace Gdiplus
