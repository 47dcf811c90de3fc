#include "bmp_image.h"
#include "gdiplus_linux.h"
#include "native_objects.h"

#include <algorithm>
#include <cstring>

namespace Gdiplus::Linux {

namespace {

struct MemoryReader {
    const BYTE* data;
    size_t size;
    size_t position;
};

cairo_status_t readFromMemory(void* closure, unsigned char* buffer, unsigned int length)
{
    auto& reader = *static_cast<MemoryReader*>(closure);
    if (length > reader.size - reader.position)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(buffer, reader.data + reader.position, length);
    reader.position += length;
    return CAIRO_STATUS_SUCCESS;
}

class DecodedImage : public Image {
public:
    explicit DecodedImage(GpImage* image) : Image(image, Ok) {}
};

} // namespace

Image* LoadImageFromMemory(const BYTE* data, size_t size)
{
    if (!data || size == 0 || !gdiplusRunning())
        return nullptr;
    PixelFormat format = PixelFormat24bppRGB;
    cairo_surface_t* surface = decodeBmp(data, size);
    if (!surface) {
        MemoryReader reader{data, size, 0};
        surface = cairo_image_surface_create_from_png_stream(readFromMemory, &reader);
        const cairo_format_t pngFormat = cairo_image_surface_get_format(surface);
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
            (pngFormat != CAIRO_FORMAT_ARGB32 && pngFormat != CAIRO_FORMAT_RGB24)) {
            cairo_surface_destroy(surface);
            return nullptr;
        }
        if (pngFormat == CAIRO_FORMAT_ARGB32)
            format = PixelFormat32bppARGB;
    }
    auto* image = new GpBitmap;
    image->surface = surface;
    image->format = format;
    return new DecodedImage(image);
}

} // namespace Gdiplus::Linux
