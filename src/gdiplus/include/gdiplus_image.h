#pragma once
#include "gdiplus_native.h"

namespace Gdiplus {

class Image : public LastStatus {
public:
    virtual ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    UINT GetWidth();
    UINT GetHeight();
    PixelFormat GetPixelFormat();

protected:
    friend class Graphics;
    friend class TextureBrush;
    Image() = default;
    Image(GpImage* image, Status status);
    void SetNativeImage(GpImage* image);

    GpImage* nativeImage = nullptr;
};

class Bitmap : public Image {
public:
    Bitmap(INT width, INT height, PixelFormat format = PixelFormat32bppARGB);
    Bitmap(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0);

    Status LockBits(const Rect* rect, UINT flags, PixelFormat format, BitmapData* lockedBitmapData);
    Status UnlockBits(BitmapData* lockedBitmapData);
    Status GetPixel(INT x, INT y, Color* color);

protected:
    Bitmap(GpBitmap* bitmap, Status status);
    GpBitmap* native() const;
};

} // namespace Gdiplus
