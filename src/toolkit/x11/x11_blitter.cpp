#include "toolkit/x11/x11_blitter.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdlib>

namespace VSTGUI::X11 {

Blitter::Blitter(_XDisplay* xDisplay, unsigned long xWindow, int width, int height) : display(xDisplay), window(xWindow)
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    gc = XCreateGC(display, window, 0, nullptr);
    // 32 bits per pixel whatever the depth. The image's own pixels are made
    // only when the back buffer cannot be sent as it is (ownPixels).
    image = XCreateImage(display, attributes.visual, unsigned(attributes.depth), ZPixmap, 0, nullptr, unsigned(width),
                         unsigned(height), 32, 0);
}

Blitter::~Blitter()
{
    if (image)
        XDestroyImage(image);
    if (gc)
        XFreeGC(display, gc);
}

// The back buffer's bytes are B, G, R, A in memory: on a little-endian
// 32-bit pixel with the usual masks they can be copied as they are. The
// frame's background is opaque, so premultiplied and plain colours agree.
bool Blitter::directLayout() const
{
    return image->bits_per_pixel == 32 && image->byte_order == LSBFirst && image->red_mask == 0xFF0000 &&
           image->green_mask == 0xFF00 && image->blue_mask == 0xFF;
}

// XDestroyImage frees them with the image.
bool Blitter::ownPixels()
{
    if (!image->data)
        image->data = static_cast<char*>(std::calloc(std::size_t(image->bytes_per_line) * std::size_t(image->height), 1));
    return image->data != nullptr;
}

void Blitter::send(const PixelArea& area)
{
    XPutImage(display, window, gc, image, area.left, area.top, area.left, area.top, unsigned(area.width()),
              unsigned(area.height()));
}

void Blitter::copy(const std::uint8_t* pixels, int stride, const CRect& area)
{
    if (!image || !gc || !pixels)
        return;
    const PixelArea inside = pixelsInside(area, image->width, image->height);
    if (inside.empty())
        return;
    if (directLayout() && stride == image->bytes_per_line) {
        // The frame's memory already has the window's layout: sent as it is.
        char* own = image->data;
        image->data = reinterpret_cast<char*>(const_cast<std::uint8_t*>(pixels));
        send(inside);
        image->data = own;
        return;
    }
    if (!ownPixels())
        return;
    if (directLayout()) {
        copyRows(pixels, stride, reinterpret_cast<std::uint8_t*>(image->data), image->bytes_per_line, inside);
        send(inside);
        return;
    }
    const auto scale = [](std::uint8_t channel, unsigned long mask) {
        if (mask == 0)
            return 0ul;
        int shift = 0;
        while (!((mask >> shift) & 1))
            ++shift;
        const unsigned long levels = mask >> shift;
        return ((unsigned long)(channel) * levels / 255) << shift;
    };
    for (int y = inside.top; y < inside.bottom; ++y) {
        const std::uint8_t* row = pixels + std::ptrdiff_t(y) * stride;
        for (int x = inside.left; x < inside.right; ++x) {
            const std::uint8_t* bgra = row + std::ptrdiff_t(x) * 4;
            XPutPixel(image, x, y,
                      scale(bgra[2], image->red_mask) | scale(bgra[1], image->green_mask) |
                          scale(bgra[0], image->blue_mask));
        }
    }
    send(inside);
}

} // namespace VSTGUI::X11
