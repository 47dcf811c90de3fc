#pragma once
#include "gdiplus_native.h"

namespace Gdiplus {

class Pen : public LastStatus {
public:
    Pen(const Color& color, REAL width = 1.0f);
    ~Pen();
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;

protected:
    friend class Graphics;

    GpPen* nativePen = nullptr;
};

} // namespace Gdiplus
