#include "gdiplus_image.h"
#include "native_objects.h"
#include "pixels.h"

#include <cstring>

namespace Gdiplus {

GpImage::~GpImage()
{
    if (surface)
        cairo_surface_destroy(surface);
}

namespace {

bool hasAlpha(PixelFormat format) { return format == PixelFormat32bppARGB || format == PixelFormat32bppPARGB; }

// The layer keeps every bitmap as a cairo image surface: premultiplied ARGB
// for formats with alpha, RGB for the others.
GpBitmap* createBitmap(INT width, INT height, PixelFormat format, Status& status)
{
    if (!gdiplusRunning()) {
        status = GdiplusNotInitialized;
        return nullptr;
    }
    if (width <= 0 || height <= 0 || pixels::bytesPerPixel(format) == 0) {
        status = InvalidParameter;
        return nullptr;
    }
    cairo_surface_t* surface =
        cairo_image_surface_create(hasAlpha(format) ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        status = OutOfMemory;
        return nullptr;
    }
    auto* bitmap = new GpBitmap;
    bitmap->surface = surface;
    bitmap->format = format;
    status = Ok;
    return bitmap;
}

// Whether a format's pixels are laid out exactly as the surface keeps them,
// so that a caller's buffer can be drawn on directly.
bool sameLayout(PixelFormat format, cairo_format_t surfaceFormat)
{
    return (format == PixelFormat32bppPARGB && surfaceFormat == CAIRO_FORMAT_ARGB32) ||
           (format == PixelFormat32bppRGB && surfaceFormat == CAIRO_FORMAT_RGB24);
}

BYTE* pixelAddress(cairo_surface_t* surface, INT x, INT y)
{
    return cairo_image_surface_get_data(surface) + std::ptrdiff_t(y) * cairo_image_surface_get_stride(surface) +
           std::ptrdiff_t(x) * 4;
}

std::uint32_t keptPixel(cairo_surface_t* surface, INT x, INT y)
{
    std::uint32_t word;
    std::memcpy(&word, pixelAddress(surface, x, y), 4);
    return cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24 ? word | 0xFF000000u : word;
}

} // namespace

Image::Image(GpImage* image, Status status) : nativeImage(image) { lastResult = status; }

Image::~Image() { delete static_cast<GpBitmap*>(nativeImage); }

void Image::SetNativeImage(GpImage* image) { nativeImage = image; }

UINT Image::GetWidth()
{
    if (!nativeImage)
        return SetStatus(InvalidParameter), 0;
    return UINT(cairo_image_surface_get_width(nativeImage->surface));
}

UINT Image::GetHeight()
{
    if (!nativeImage)
        return SetStatus(InvalidParameter), 0;
    return UINT(cairo_image_surface_get_height(nativeImage->surface));
}

PixelFormat Image::GetPixelFormat()
{
    if (!nativeImage)
        return SetStatus(InvalidParameter), 0;
    return nativeImage->format;
}

Bitmap::Bitmap(INT width, INT height, PixelFormat format)
{
    SetNativeImage(createBitmap(width, height, format, lastResult));
}

Bitmap::Bitmap(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0)
{
    if (!scan0) {
        SetNativeImage(createBitmap(width, height, format, lastResult));
        return;
    }
    const int bytes = pixels::bytesPerPixel(format);
    if (!gdiplusRunning()) {
        lastResult = GdiplusNotInitialized;
        return;
    }
    if (width <= 0 || height <= 0 || bytes == 0 || stride < width * bytes || stride % 4 != 0) {
        lastResult = InvalidParameter;
        return;
    }
    const cairo_format_t surfaceFormat = hasAlpha(format) ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
    if (sameLayout(format, surfaceFormat)) {
        // Drawn on in place, as GDI+ does with a caller's buffer.
        cairo_surface_t* surface = cairo_image_surface_create_for_data(scan0, surfaceFormat, width, height, stride);
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(surface);
            lastResult = InvalidParameter;
            return;
        }
        auto* bitmap = new GpBitmap;
        bitmap->surface = surface;
        bitmap->format = format;
        SetNativeImage(bitmap);
        lastResult = Ok;
        return;
    }
    // Other layouts (straight alpha, 24 bits) are copied into a bitmap of the
    // layer's own; drawing on it does not change the caller's buffer.
    GpBitmap* bitmap = createBitmap(width, height, format, lastResult);
    SetNativeImage(bitmap);
    if (!bitmap)
        return;
    cairo_surface_flush(bitmap->surface);
    for (INT y = 0; y < height; ++y)
        for (INT x = 0; x < width; ++x) {
            const std::uint32_t word = pixels::load(scan0 + std::ptrdiff_t(y) * stride + std::ptrdiff_t(x) * bytes, format);
            std::memcpy(pixelAddress(bitmap->surface, x, y), &word, 4);
        }
    cairo_surface_mark_dirty(bitmap->surface);
}

Bitmap::Bitmap(GpBitmap* bitmap, Status status) : Image(bitmap, status) {}

GpBitmap* Bitmap::native() const { return static_cast<GpBitmap*>(nativeImage); }

Status Bitmap::LockBits(const Rect* rect, UINT flags, PixelFormat format, BitmapData* lockedBitmapData)
{
    GpBitmap* bitmap = native();
    if (!bitmap || !lockedBitmapData)
        return SetStatus(InvalidParameter);
    if (bitmap->locked)
        return SetStatus(WrongState);
    const INT width = cairo_image_surface_get_width(bitmap->surface);
    const INT height = cairo_image_surface_get_height(bitmap->surface);
    const Rect area = rect ? *rect : Rect(0, 0, width, height);
    const int bytes = pixels::bytesPerPixel(format);
    if (area.X < 0 || area.Y < 0 || area.Width <= 0 || area.Height <= 0 || area.X + area.Width > width ||
        area.Y + area.Height > height || bytes == 0 || (flags & (ImageLockModeRead | ImageLockModeWrite)) == 0)
        return SetStatus(InvalidParameter);
    const bool userBuffer = (flags & ImageLockModeUserInputBuf) != 0;
    if (userBuffer && (!lockedBitmapData->Scan0 || lockedBitmapData->Stride < area.Width * bytes))
        return SetStatus(InvalidParameter);

    cairo_surface_flush(bitmap->surface);
    BYTE* scan0 = nullptr;
    INT stride = 0;
    if (!userBuffer && sameLayout(format, cairo_image_surface_get_format(bitmap->surface))) {
        scan0 = pixelAddress(bitmap->surface, area.X, area.Y);
        stride = cairo_image_surface_get_stride(bitmap->surface);
    } else {
        if (userBuffer) {
            scan0 = static_cast<BYTE*>(lockedBitmapData->Scan0);
            stride = lockedBitmapData->Stride;
        } else {
            stride = (area.Width * bytes + 3) / 4 * 4;
            bitmap->lockBuffer.assign(std::size_t(stride) * std::size_t(area.Height), 0);
            scan0 = bitmap->lockBuffer.data();
        }
        if (flags & ImageLockModeRead)
            for (INT y = 0; y < area.Height; ++y)
                for (INT x = 0; x < area.Width; ++x)
                    pixels::store(keptPixel(bitmap->surface, area.X + x, area.Y + y), format,
                                  scan0 + std::ptrdiff_t(y) * stride + std::ptrdiff_t(x) * bytes);
    }
    bitmap->locked = true;
    bitmap->lockedRect = area;
    bitmap->lockFlags = flags;
    bitmap->lockedFormat = format;
    lockedBitmapData->Width = UINT(area.Width);
    lockedBitmapData->Height = UINT(area.Height);
    lockedBitmapData->Stride = stride;
    lockedBitmapData->PixelFormat = format;
    lockedBitmapData->Scan0 = scan0;
    lockedBitmapData->Reserved = 0;
    return Ok;
}

Status Bitmap::UnlockBits(BitmapData* lockedBitmapData)
{
    GpBitmap* bitmap = native();
    if (!bitmap || !lockedBitmapData)
        return SetStatus(InvalidParameter);
    if (!bitmap->locked)
        return SetStatus(WrongState);
    const Rect& area = bitmap->lockedRect;
    const bool direct = lockedBitmapData->Scan0 == pixelAddress(bitmap->surface, area.X, area.Y);
    if ((bitmap->lockFlags & ImageLockModeWrite) && !direct) {
        const auto* scan0 = static_cast<const BYTE*>(lockedBitmapData->Scan0);
        const int bytes = pixels::bytesPerPixel(bitmap->lockedFormat);
        for (INT y = 0; y < area.Height; ++y)
            for (INT x = 0; x < area.Width; ++x) {
                const std::uint32_t word = pixels::load(
                    scan0 + std::ptrdiff_t(y) * lockedBitmapData->Stride + std::ptrdiff_t(x) * bytes,
                    bitmap->lockedFormat);
                std::memcpy(pixelAddress(bitmap->surface, area.X + x, area.Y + y), &word, 4);
            }
    }
    if (bitmap->lockFlags & ImageLockModeWrite)
        cairo_surface_mark_dirty_rectangle(bitmap->surface, area.X, area.Y, area.Width, area.Height);
    bitmap->locked = false;
    bitmap->lockBuffer.clear();
    bitmap->lockBuffer.shrink_to_fit();
    return Ok;
}

Status Bitmap::GetPixel(INT x, INT y, Color* color)
{
    GpBitmap* bitmap = native();
    if (!bitmap || !color || x < 0 || y < 0 || x >= cairo_image_surface_get_width(bitmap->surface) ||
        y >= cairo_image_surface_get_height(bitmap->surface))
        return SetStatus(InvalidParameter);
    cairo_surface_flush(bitmap->surface);
    color->SetValue(pixels::unpremultiply(keptPixel(bitmap->surface, x, y)));
    return Ok;
}

} // namespace Gdiplus
