#include "gdiplus_image.h"

#include <cstring>

namespace Gdiplus {

using namespace DllExports;

Image::Image(GpImage* image, Status status) : nativeImage(image), lastResult(status) {}

Image::~Image()
{
    if (nativeImage)
        GdipDisposeImage(nativeImage);
}

void Image::SetNativeImage(GpImage* image) { nativeImage = image; }

UINT Image::GetWidth()
{
    UINT width = 0;
    SetStatus(GdipGetImageWidth(nativeImage, &width));
    return width;
}

UINT Image::GetHeight()
{
    UINT height = 0;
    SetStatus(GdipGetImageHeight(nativeImage, &height));
    return height;
}

PixelFormat Image::GetPixelFormat()
{
    PixelFormat format = 0;
    SetStatus(GdipGetImagePixelFormat(nativeImage, &format));
    return format;
}

Status Image::GetLastStatus() const
{
    const Status status = lastResult;
    lastResult = Ok;
    return status;
}

Status Image::SetStatus(Status status) const
{
    if (status != Ok)
        lastResult = status;
    return status;
}

Bitmap::Bitmap(INT width, INT height, PixelFormat format)
{
    GpBitmap* bitmap = nullptr;
    lastResult = GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, &bitmap);
    SetNativeImage(reinterpret_cast<GpImage*>(bitmap));
}

Bitmap::Bitmap(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0)
{
    GpBitmap* bitmap = nullptr;
    lastResult = GdipCreateBitmapFromScan0(width, height, stride, format, scan0, &bitmap);
    SetNativeImage(reinterpret_cast<GpImage*>(bitmap));
}

Bitmap::Bitmap(GpBitmap* bitmap, Status status) : Image(reinterpret_cast<GpImage*>(bitmap), status) {}

GpBitmap* Bitmap::native() const { return reinterpret_cast<GpBitmap*>(nativeImage); }

struct Bitmap::LockedData {
    // Room for libgdiplus's whole record (public part plus its own fields).
    alignas(16) unsigned char bytes[256];
};

Status Bitmap::LockBits(const Rect* rect, UINT flags, PixelFormat format, BitmapData* lockedBitmapData)
{
    if (!lockedBitmapData)
        return SetStatus(InvalidParameter);
    if (lockedData)
        return SetStatus(WrongState);
    // libgdiplus moves a bitmap's origin by the rectangle of a partial lock
    // and does not move it back, so every later lock and drawing lands off
    // place: lock the whole bitmap and hand out the part asked for.
    const INT width = INT(GetWidth());
    const INT height = INT(GetHeight());
    const Rect whole(0, 0, width, height);
    const Rect part = rect ? *rect : whole;
    if (part.X < 0 || part.Y < 0 || part.Width <= 0 || part.Height <= 0 || part.X + part.Width > width ||
        part.Y + part.Height > height)
        return SetStatus(InvalidParameter);
    auto record = std::make_shared<LockedData>();
    std::memset(record->bytes, 0, sizeof record->bytes);
    auto* full = reinterpret_cast<BitmapData*>(record->bytes);
    const Status status = SetStatus(GdipBitmapLockBits(native(), &whole, flags, format, full));
    if (status != Ok)
        return status;
    const INT bytesPerPixel = INT((format >> 8) & 0xFF) / 8;
    *lockedBitmapData = *full;
    lockedBitmapData->Width = UINT(part.Width);
    lockedBitmapData->Height = UINT(part.Height);
    lockedBitmapData->Scan0 =
        static_cast<BYTE*>(full->Scan0) + std::ptrdiff_t(part.Y) * full->Stride + std::ptrdiff_t(part.X) * bytesPerPixel;
    lockedData = std::move(record);
    return Ok;
}

Status Bitmap::UnlockBits(BitmapData* lockedBitmapData)
{
    if (!lockedBitmapData || !lockedData)
        return SetStatus(InvalidParameter);
    const Status status =
        SetStatus(GdipBitmapUnlockBits(native(), reinterpret_cast<BitmapData*>(lockedData->bytes)));
    lockedData.reset();
    return status;
}

Status Bitmap::GetPixel(INT x, INT y, Color* color)
{
    ARGB argb = 0;
    const Status status = SetStatus(GdipBitmapGetPixel(native(), x, y, &argb));
    if (status == Ok && color)
        color->SetValue(argb);
    return status;
}

} // namespace Gdiplus
