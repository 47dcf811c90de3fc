#pragma once
// Copies parts of the frame's back buffer (32-bit premultiplied ARGB) into
// an X window of any true-colour visual.

#include "toolkit/crect.h"

#include <gdiplus.h>

struct _XDisplay;
struct _XGC;
struct _XImage;

namespace VSTGUI::X11 {

class Blitter {
public:
    Blitter(_XDisplay* display, unsigned long window, int width, int height);
    ~Blitter();
    Blitter(const Blitter&) = delete;
    Blitter& operator=(const Blitter&) = delete;

    // The area (whole pixels, inside the image) from source into the window.
    void copy(Gdiplus::Bitmap& source, const CRect& area);

private:
    bool directLayout() const;

    _XDisplay* display;
    unsigned long window;
    _XGC* gc = nullptr;
    _XImage* image = nullptr;
};

} // namespace VSTGUI::X11
