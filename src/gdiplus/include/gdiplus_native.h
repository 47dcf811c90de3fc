#pragma once
// The native objects behind the C++ classes, opaque as in the Windows
// headers, and the start-up and shut-down functions.

#include "gdiplus_types.h"

namespace Gdiplus {

class GpGraphics;
class GpImage;
class GpBitmap;
class GpBrush;
class GpPen;
class GpPath;
class GpMatrix;
class GpRegion;
class GpFont;
class GpFontFamily;
class GpFontCollection;
class GpStringFormat;

typedef Status GpStatus;

// The last-status convention of every object of the API, written once: a
// failing call records its status and returns it; GetLastStatus hands out the
// last failure once and forgets it.
class LastStatus {
public:
    Status GetLastStatus() const
    {
        const Status status = lastResult;
        lastResult = Ok;
        return status;
    }

protected:
    Status SetStatus(Status status) const
    {
        if (status != Ok)
            lastResult = status;
        return status;
    }

    mutable Status lastResult = Ok;
};

// Reference-counted, as on Windows: the first start-up brings up FreeType,
// the last shut-down releases everything the layer holds. Objects cannot be
// created while the layer is not started (GdiplusNotInitialized).
Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);
void GdiplusShutdown(ULONG_PTR token);

} // namespace Gdiplus
