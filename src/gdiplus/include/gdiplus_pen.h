#pragma once
#include "gdiplus_native.h"

namespace Gdiplus {

class Pen {
public:
    Pen(const Color& color, REAL width = 1.0f);
    ~Pen();
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;
    Status GetLastStatus() const;

protected:
    friend class Graphics;
    Status SetStatus(Status status) const;

    GpPen* nativePen = nullptr;
    mutable Status lastResult = Ok;
};

} // namespace Gdiplus
