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

// Reference-counted, as on Windows: the first start-up brings up FreeType,
// the last shut-down releases everything the layer holds. Objects cannot be
// created while the layer is not started (GdiplusNotInitialized).
Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);
void GdiplusShutdown(ULONG_PTR token);

} // namespace Gdiplus
