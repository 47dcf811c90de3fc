#pragma once
// What the opaque native objects of the C++ classes hold. Private to the
// layer: only its sources include this.

#include "gdiplus_native.h"
#include "font_faces.h"

#include <cairo.h>

#include <memory>
#include <optional>
#include <vector>

namespace Gdiplus {

// GDI+ matrices multiply row vectors: (x, y, 1) · [m11 m12; m21 m22; dx dy].
// cairo's xx, yx, xy, yy, x0, y0 are m11, m12, m21, m22, dx, dy.
class GpMatrix {
public:
    cairo_matrix_t value;
};

// Point types as GDI+ stores them in a path.
enum PathPointType : BYTE {
    PathPointTypeStart = 0,
    PathPointTypeLine = 1,
    PathPointTypeBezier = 3,
    PathPointTypeMask = 0x07,
    PathPointTypeCloseSubpath = 0x80,
};

class GpPath {
public:
    std::vector<PointF> points;
    std::vector<BYTE> types;
    FillMode fillMode = FillModeAlternate;
    bool startNewFigure = true;
    // While the path is exactly one ellipse: the matrix that maps the unit
    // circle onto it, so a path gradient over it can be exact.
    std::optional<cairo_matrix_t> ellipse;
};

// A set of device pixels: null is the infinite region (no clipping).
class PixelRegion {
public:
    PixelRegion() = default;
    explicit PixelRegion(cairo_region_t* owned) : region(owned) {}
    PixelRegion(const PixelRegion& other) : region(other.region ? cairo_region_copy(other.region) : nullptr) {}
    PixelRegion& operator=(const PixelRegion& other)
    {
        PixelRegion copy(other);
        std::swap(region, copy.region);
        return *this;
    }
    ~PixelRegion()
    {
        if (region)
            cairo_region_destroy(region);
    }
    bool infinite() const { return region == nullptr; }
    cairo_region_t* get() const { return region; }

private:
    cairo_region_t* region = nullptr;
};

// A region in its own coordinates: everything, or the union of filled
// figures (each a closed polygon, filled by the non-zero winding rule).
class GpRegion {
public:
    bool infinite = true;
    std::vector<std::vector<PointF>> figures;
};

class GpImage {
public:
    ~GpImage();
    cairo_surface_t* surface = nullptr;
    PixelFormat format = PixelFormat32bppARGB;
    // LockBits: a conversion buffer when the caller's format is not the
    // surface's own, and what was locked.
    std::vector<BYTE> lockBuffer;
    bool locked = false;
    Rect lockedRect;
    UINT lockFlags = 0;
    PixelFormat lockedFormat = 0;
};

class GpBitmap : public GpImage {};

class GpBrush {
public:
    virtual ~GpBrush() = default;
    // A new pattern in world coordinates, or null when the brush paints
    // nothing.
    virtual cairo_pattern_t* createPattern() const = 0;
};

class GpSolidFill : public GpBrush {
public:
    explicit GpSolidFill(ARGB value) : color(value) {}
    cairo_pattern_t* createPattern() const override;
    ARGB color;
};

class GpLineGradient : public GpBrush {
public:
    cairo_pattern_t* createPattern() const override;
    PointF start, end;
    ARGB startColor = 0, endColor = 0;
    WrapMode wrapMode = WrapModeTile;
};

class GpPathGradient : public GpBrush {
public:
    cairo_pattern_t* createPattern() const override;
    // The unit circle's placement onto the path's ellipse.
    cairo_matrix_t ellipse;
    ARGB centerColor = 0xFFFFFFFF;
    ARGB surroundColor = 0xFFFFFFFF;
};

class GpTexture : public GpBrush {
public:
    ~GpTexture() override;
    cairo_pattern_t* createPattern() const override;
    cairo_surface_t* surface = nullptr;
    WrapMode wrapMode = WrapModeTile;
    cairo_matrix_t transform;
};

class GpPen {
public:
    ARGB color = 0xFF000000;
    REAL width = 1;
    Unit unit = UnitWorld;
};

class GpFontFamily {
public:
    std::shared_ptr<const FontFace> face;
};

class GpFontCollection {
public:
    std::vector<std::shared_ptr<const FontFace>> faces;
};

class GpFont {
public:
    std::shared_ptr<const FontFace> face;
    REAL emSize = 0;
    Unit unit = UnitPoint;
    // The em size in world units, as the text is laid out.
    double pixelSize() const;
};

class GpStringFormat {
public:
    INT flags = 0;
    LANGID language = LANG_NEUTRAL;
    StringAlignment alignment = StringAlignmentNear;
    StringAlignment lineAlignment = StringAlignmentNear;
};

// Pixels per unit at the layer's fixed 96 dots per inch; 0 for units that
// have no fixed size.
double pixelsPerUnit(Unit unit);

// Whether GdiplusStartup is in force.
bool gdiplusRunning();

} // namespace Gdiplus
