#pragma once
#include "gdiplus_native.h"

namespace Gdiplus {

class GraphicsPath;
class Image;
class Matrix;

class Brush : public LastStatus {
public:
    virtual ~Brush();
    Brush(const Brush&) = delete;
    Brush& operator=(const Brush&) = delete;

protected:
    friend class Graphics;
    Brush() = default;
    void SetNativeBrush(GpBrush* brush) { nativeBrush = brush; }

    GpBrush* nativeBrush = nullptr;
};

class SolidBrush : public Brush {
public:
    SolidBrush(const Color& color);
    Status SetColor(const Color& color);
};

class LinearGradientBrush : public Brush {
public:
    LinearGradientBrush(const PointF& point1, const PointF& point2, const Color& color1, const Color& color2);
};

class PathGradientBrush : public Brush {
public:
    PathGradientBrush(const GraphicsPath* path);
    Status SetCenterColor(const Color& color);
    Status SetSurroundColors(const Color* colors, INT* count);
};

class TextureBrush : public Brush {
public:
    TextureBrush(Image* image, WrapMode wrapMode = WrapModeTile);
    Status SetTransform(const Matrix* matrix);
};

} // namespace Gdiplus
