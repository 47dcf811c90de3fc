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
    auto record = std::make_shared<LockedData>();
    std::memset(record->bytes, 0, sizeof record->bytes);
    auto* full = reinterpret_cast<BitmapData*>(record->bytes);
    const Status status = SetStatus(GdipBitmapLockBits(native(), rect, flags, format, full));
    if (status != Ok)
        return status;
    *lockedBitmapData = *full;
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
