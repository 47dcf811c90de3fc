#pragma once
// Copies parts of the frame's back buffer (32-bit premultiplied ARGB) into
// an X window of any true-colour visual.

#include "toolkit/back_buffer_copy.h"
#include "toolkit/crect.h"

#include <cstdint>

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

    // The area (whole pixels) of the frame's back-buffer memory (rows of
    // stride bytes, B, G, R, A) into the window.
    void copy(const std::uint8_t* pixels, int stride, const CRect& area);

private:
    bool directLayout() const;
    // Makes the image's own pixels if it has none yet; false if it cannot.
    bool ownPixels();
    void send(const PixelArea& area);

    _XDisplay* display;
    unsigned long window;
    _XGC* gc = nullptr;
    _XImage* image = nullptr;
};

} // namespace VSTGUI::X11
