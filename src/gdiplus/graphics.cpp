#include "clip_region.h"
#include "gdiplus_brush.h"
#include "gdiplus_font.h"
#include "gdiplus_graphics.h"
#include "gdiplus_image.h"
#include "gdiplus_matrix.h"
#include "gdiplus_path.h"
#include "gdiplus_pen.h"
#include "gdiplus_region.h"
#include "gdiplus_string_format.h"
#include "native_objects.h"
#include "path_geometry.h"
#include "text_layout.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace Gdiplus {

class GpGraphics {
public:
    struct State {
        cairo_matrix_t world;
        PixelRegion clip;
        SmoothingMode smoothing = SmoothingModeNone;
        CompositingMode compositing = CompositingModeSourceOver;
        PixelOffsetMode pixelOffset = PixelOffsetModeDefault;
        TextRenderingHint textHint = TextRenderingHintSystemDefault;
        Unit pageUnit = UnitDisplay;
        REAL pageScale = 1;
    };

    // World to device: the world transform, then the page transform (the
    // page unit in device pixels times the page scale).
    cairo_matrix_t device() const
    {
        const double page = double(state.pageScale) * (state.pageUnit == UnitDisplay ? 1.0 : pixelsPerUnit(state.pageUnit));
        cairo_matrix_t pageScale, result;
        cairo_matrix_init_scale(&pageScale, page, page);
        cairo_matrix_multiply(&result, &state.world, &pageScale);
        return result;
    }

    explicit GpGraphics(cairo_surface_t* target) : context(cairo_create(target))
    {
        cairo_matrix_init_identity(&state.world);
        bounds = {0, 0, cairo_image_surface_get_width(target), cairo_image_surface_get_height(target)};
    }
    ~GpGraphics() { cairo_destroy(context); }
    GpGraphics(const GpGraphics&) = delete;
    GpGraphics& operator=(const GpGraphics&) = delete;

    cairo_t* context;
    cairo_rectangle_int_t bounds;
    State state;
    std::vector<std::pair<GraphicsState, State>> saved;
    GraphicsState nextSaved = 1;
    bool clipApplied = true;
};

namespace {

bool translationOnly(const cairo_matrix_t& m) { return m.xx == 1 && m.yx == 0 && m.xy == 0 && m.yy == 1; }

bool antialiased(SmoothingMode mode)
{
    return mode == SmoothingModeAntiAlias || mode == SmoothingModeAntiAlias8x8 || mode == SmoothingModeHighQuality;
}

// Starts one drawing operation: the clip in force, the world transform and
// the compositing mode set, inside a cairo_save that finish() closes.
cairo_t* begin(GpGraphics& g)
{
    if (!g.clipApplied) {
        applyClip(g.context, g.state.clip);
        g.clipApplied = true;
    }
    cairo_t* context = g.context;
    cairo_save(context);
    const cairo_matrix_t device = g.device();
    cairo_set_matrix(context, &device);
    cairo_set_operator(context, g.state.compositing == CompositingModeSourceCopy ? CAIRO_OPERATOR_SOURCE
                                                                                 : CAIRO_OPERATOR_OVER);
    cairo_set_antialias(context, antialiased(g.state.smoothing) ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    cairo_new_path(context);
    return context;
}

Status finish(GpGraphics& g)
{
    const cairo_status_t status = cairo_status(g.context);
    cairo_restore(g.context);
    return status == CAIRO_STATUS_SUCCESS ? Ok : status == CAIRO_STATUS_NO_MEMORY ? OutOfMemory : GenericError;
}

// Sets the brush's pattern as the source, in the world space in force.
// False when the brush paints nothing.
bool useBrush(cairo_t* context, const GpBrush& brush)
{
    cairo_pattern_t* pattern = brush.createPattern();
    if (!pattern)
        return false;
    cairo_set_source(context, pattern);
    cairo_pattern_destroy(pattern);
    return true;
}

Status fill(GpGraphics& g, const GpBrush* brush, const GpPath& path, FillMode fillMode)
{
    cairo_t* context = begin(g);
    if (useBrush(context, *brush)) {
        emitPath(context, path);
        cairo_set_fill_rule(context, fillMode == FillModeWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(context);
    }
    return finish(g);
}

Status stroke(GpGraphics& g, const GpPen& pen, const GpPath& path)
{
    cairo_t* context = begin(g);
    cairo_matrix_t matrix = g.device();
    // Pens are centred half a pixel down and right of their path while the
    // transform only moves, so that a line of odd width on whole coordinates
    // covers whole pixels, in every pixel offset mode, as the views were
    // drawn until now (scaled lines land on pixel edges already). Fills
    // stay where they are: rectangles on whole coordinates keep sharp edges.
    if (translationOnly(matrix)) {
        matrix.x0 += 0.5;
        matrix.y0 += 0.5;
    }
    cairo_set_matrix(context, &matrix);
    const Color color(pen.color);
    cairo_set_source_rgba(context, color.GetR() / 255.0, color.GetG() / 255.0, color.GetB() / 255.0,
                          color.GetA() / 255.0);
    emitPath(context, path);
    // Every pen draws at least one pixel wide, as in GDI+.
    const double scale = std::sqrt(std::abs(matrix.xx * matrix.yy - matrix.xy * matrix.yx));
    double width = double(pen.width);
    if (pen.unit != UnitWorld) {
        width = double(pen.width) * std::max(1.0, pixelsPerUnit(pen.unit));
        cairo_identity_matrix(context);
        width = std::max(width, 1.0);
    } else if (scale > 0) {
        width = std::max(width, 1.0 / scale);
    }
    cairo_set_line_width(context, width);
    cairo_set_line_cap(context, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(context, CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(context, 10);
    cairo_stroke(context);
    return finish(g);
}

GpPath polyline(const PointF* points, INT count)
{
    GpPath path;
    for (INT i = 0; i < count; ++i) {
        path.points.push_back(points[i]);
        path.types.push_back(i == 0 ? BYTE(PathPointTypeStart) : BYTE(PathPointTypeLine));
    }
    return path;
}

std::vector<std::vector<PointF>> transformed(const std::vector<std::vector<PointF>>& figures, const cairo_matrix_t& m)
{
    std::vector<std::vector<PointF>> result = figures;
    for (auto& figure : result)
        for (PointF& p : figure) {
            double x = double(p.X), y = double(p.Y);
            cairo_matrix_transform_point(&m, &x, &y);
            p = PointF(REAL(x), REAL(y));
        }
    return result;
}

std::vector<std::vector<PointF>> rectangleFigure(const RectF& rect)
{
    if (rect.Width <= 0 || rect.Height <= 0)
        return {};
    return {{{rect.X, rect.Y},
             {rect.X + rect.Width, rect.Y},
             {rect.X + rect.Width, rect.Y + rect.Height},
             {rect.X, rect.Y + rect.Height}}};
}

std::u16string_view textOf(const WCHAR* string, INT length)
{
    if (length < 0)
        return std::u16string_view(string);
    return std::u16string_view(string, std::size_t(length));
}

} // namespace

GpBrush* Graphics::native(const Brush* brush) { return brush ? brush->nativeBrush : nullptr; }
GpPen* Graphics::native(const Pen* pen) { return pen ? pen->nativePen : nullptr; }
GpPath* Graphics::native(const GraphicsPath* path) { return path ? path->nativePath : nullptr; }
GpImage* Graphics::native(const Image* image) { return image ? image->nativeImage : nullptr; }
GpFont* Graphics::native(const Font* font) { return font ? font->nativeFont : nullptr; }
GpStringFormat* Graphics::native(const StringFormat* format) { return format ? format->nativeFormat : nullptr; }
GpMatrix* Graphics::native(const Matrix* matrix) { return matrix ? matrix->nativeMatrix : nullptr; }
GpRegion* Graphics::native(const Region* region) { return region ? region->nativeRegion : nullptr; }

Graphics::Graphics(Image* image)
{
    GpImage* target = native(image);
    if (!gdiplusRunning()) {
        lastResult = GdiplusNotInitialized;
        return;
    }
    if (!target) {
        lastResult = InvalidParameter;
        return;
    }
    nativeGraphics = new GpGraphics(target->surface);
    if (cairo_status(nativeGraphics->context) != CAIRO_STATUS_SUCCESS) {
        delete nativeGraphics;
        nativeGraphics = nullptr;
        lastResult = OutOfMemory;
    }
}

Graphics::~Graphics()
{
    if (nativeGraphics)
        cairo_surface_flush(cairo_get_target(nativeGraphics->context));
    delete nativeGraphics;
}

Graphics* Graphics::FromImage(Image* image) { return new Graphics(image); }

GraphicsState Graphics::Save() const
{
    if (!nativeGraphics)
        return SetStatus(InvalidParameter), 0;
    const GraphicsState id = nativeGraphics->nextSaved++;
    nativeGraphics->saved.emplace_back(id, nativeGraphics->state);
    return id;
}

Status Graphics::Restore(GraphicsState state)
{
    if (!nativeGraphics)
        return SetStatus(InvalidParameter);
    auto& saved = nativeGraphics->saved;
    const auto found =
        std::find_if(saved.begin(), saved.end(), [state](const auto& entry) { return entry.first == state; });
    // Restoring a state also drops every state saved after it.
    if (found != saved.end()) {
        nativeGraphics->state = found->second;
        saved.erase(found, saved.end());
        nativeGraphics->clipApplied = false;
    }
    return Ok;
}

Status Graphics::Flush(FlushIntention)
{
    if (!nativeGraphics)
        return SetStatus(InvalidParameter);
    cairo_surface_flush(cairo_get_target(nativeGraphics->context));
    return Ok;
}

Status Graphics::ResetTransform()
{
    if (!nativeGraphics)
        return SetStatus(InvalidParameter);
    cairo_matrix_init_identity(&nativeGraphics->state.world);
    return Ok;
}

Status Graphics::SetTransform(const Matrix* matrix)
{
    if (!nativeGraphics || !matrix)
        return SetStatus(InvalidParameter);
    cairo_matrix_t inverse = native(matrix)->value;
    if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS)
        return SetStatus(InvalidParameter);
    nativeGraphics->state.world = native(matrix)->value;
    return Ok;
}

Status Graphics::GetTransform(Matrix* matrix) const
{
    if (!nativeGraphics || !matrix)
        return SetStatus(InvalidParameter);
    native(matrix)->value = nativeGraphics->state.world;
    return Ok;
}

Status Graphics::MultiplyTransform(const Matrix* matrix, MatrixOrder order)
{
    if (!nativeGraphics || !matrix)
        return SetStatus(InvalidParameter);
    Matrix world;
    GetTransform(&world);
    world.Multiply(matrix, order);
    return SetTransform(&world);
}

Status Graphics::TranslateTransform(REAL dx, REAL dy, MatrixOrder order)
{
    Matrix operation;
    operation.Translate(dx, dy);
    return MultiplyTransform(&operation, order);
}

Status Graphics::RotateTransform(REAL angle, MatrixOrder order)
{
    Matrix operation;
    operation.Rotate(angle);
    return MultiplyTransform(&operation, order);
}

Status Graphics::ScaleTransform(REAL sx, REAL sy, MatrixOrder order)
{
    Matrix operation;
    operation.Scale(sx, sy);
    return MultiplyTransform(&operation, order);
}

Status Graphics::SetSmoothingMode(SmoothingMode mode)
{
    if (!nativeGraphics || mode < SmoothingModeDefault || mode > SmoothingModeAntiAlias8x8)
        return SetStatus(InvalidParameter);
    nativeGraphics->state.smoothing = mode;
    return Ok;
}

SmoothingMode Graphics::GetSmoothingMode() const
{
    return nativeGraphics ? nativeGraphics->state.smoothing : SmoothingModeInvalid;
}

Status Graphics::SetCompositingMode(CompositingMode mode)
{
    if (!nativeGraphics || (mode != CompositingModeSourceOver && mode != CompositingModeSourceCopy))
        return SetStatus(InvalidParameter);
    nativeGraphics->state.compositing = mode;
    return Ok;
}

CompositingMode Graphics::GetCompositingMode() const
{
    return nativeGraphics ? nativeGraphics->state.compositing : CompositingModeSourceOver;
}

Status Graphics::SetPixelOffsetMode(PixelOffsetMode mode)
{
    if (!nativeGraphics || mode < PixelOffsetModeDefault || mode > PixelOffsetModeHalf)
        return SetStatus(InvalidParameter);
    nativeGraphics->state.pixelOffset = mode;
    return Ok;
}

PixelOffsetMode Graphics::GetPixelOffsetMode() const
{
    return nativeGraphics ? nativeGraphics->state.pixelOffset : PixelOffsetModeInvalid;
}

Status Graphics::SetTextRenderingHint(TextRenderingHint hint)
{
    if (!nativeGraphics || hint < TextRenderingHintSystemDefault || hint > TextRenderingHintClearTypeGridFit)
        return SetStatus(InvalidParameter);
    nativeGraphics->state.textHint = hint;
    return Ok;
}

Status Graphics::SetPageUnit(Unit unit)
{
    if (!nativeGraphics || unit == UnitWorld || (unit != UnitDisplay && pixelsPerUnit(unit) == 0))
        return SetStatus(InvalidParameter);
    nativeGraphics->state.pageUnit = unit;
    return Ok;
}

Unit Graphics::GetPageUnit() const { return nativeGraphics ? nativeGraphics->state.pageUnit : UnitDisplay; }

Status Graphics::SetPageScale(REAL scale)
{
    if (!nativeGraphics || !(scale > 0))
        return SetStatus(InvalidParameter);
    nativeGraphics->state.pageScale = scale;
    return Ok;
}

REAL Graphics::GetPageScale() const { return nativeGraphics ? nativeGraphics->state.pageScale : 1; }

Status Graphics::Clear(const Color& color)
{
    if (!nativeGraphics)
        return SetStatus(InvalidParameter);
    cairo_t* context = begin(*nativeGraphics);
    cairo_identity_matrix(context);
    cairo_set_operator(context, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(context, color.GetR() / 255.0, color.GetG() / 255.0, color.GetB() / 255.0,
                          color.GetA() / 255.0);
    cairo_paint(context);
    return SetStatus(finish(*nativeGraphics));
}

Status Graphics::FillPath(const Brush* brush, const GraphicsPath* path)
{
    if (!nativeGraphics || !native(brush) || !native(path))
        return SetStatus(InvalidParameter);
    return SetStatus(fill(*nativeGraphics, native(brush), *native(path), native(path)->fillMode));
}

Status Graphics::DrawPath(const Pen* pen, const GraphicsPath* path)
{
    if (!nativeGraphics || !native(pen) || !native(path))
        return SetStatus(InvalidParameter);
    return SetStatus(stroke(*nativeGraphics, *native(pen), *native(path)));
}

Status Graphics::DrawLine(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2)
{
    const PointF points[] = {{x1, y1}, {x2, y2}};
    return DrawLines(pen, points, 2);
}

Status Graphics::DrawLine(const Pen* pen, const PointF& point1, const PointF& point2)
{
    return DrawLine(pen, point1.X, point1.Y, point2.X, point2.Y);
}

Status Graphics::DrawLines(const Pen* pen, const PointF* points, INT count)
{
    if (!nativeGraphics || !native(pen) || !points || count < 2)
        return SetStatus(InvalidParameter);
    return SetStatus(stroke(*nativeGraphics, *native(pen), polyline(points, count)));
}

Status Graphics::FillPolygon(const Brush* brush, const PointF* points, INT count, FillMode fillMode)
{
    if (!nativeGraphics || !native(brush) || !points || count <= 0)
        return SetStatus(InvalidParameter);
    return SetStatus(fill(*nativeGraphics, native(brush), polyline(points, count), fillMode));
}

Status Graphics::FillRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height)
{
    if (!nativeGraphics || !native(brush))
        return SetStatus(InvalidParameter);
    GraphicsPath path;
    path.AddRectangle(RectF(x, y, width, height));
    return SetStatus(fill(*nativeGraphics, native(brush), *native(&path), FillModeAlternate));
}

Status Graphics::FillRectangle(const Brush* brush, const RectF& rect)
{
    return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

Status Graphics::FillEllipse(const Brush* brush, REAL x, REAL y, REAL width, REAL height)
{
    if (!nativeGraphics || !native(brush))
        return SetStatus(InvalidParameter);
    GraphicsPath path;
    if (path.AddEllipse(x, y, width, height) != Ok)
        return Ok;
    return SetStatus(fill(*nativeGraphics, native(brush), *native(&path), FillModeAlternate));
}

Status Graphics::FillEllipse(const Brush* brush, INT x, INT y, INT width, INT height)
{
    return FillEllipse(brush, REAL(x), REAL(y), REAL(width), REAL(height));
}

Status Graphics::DrawImage(Image* image, REAL x, REAL y)
{
    GpImage* source = native(image);
    if (!source)
        return SetStatus(InvalidParameter);
    return DrawImage(image, x, y, REAL(cairo_image_surface_get_width(source->surface)),
                     REAL(cairo_image_surface_get_height(source->surface)));
}

Status Graphics::DrawImage(Image* image, INT x, INT y) { return DrawImage(image, REAL(x), REAL(y)); }

Status Graphics::DrawImage(Image* image, REAL x, REAL y, REAL width, REAL height)
{
    GpImage* source = native(image);
    if (!nativeGraphics || !source)
        return SetStatus(InvalidParameter);
    if (width == 0 || height == 0)
        return Ok;
    const int imageWidth = cairo_image_surface_get_width(source->surface);
    const int imageHeight = cairo_image_surface_get_height(source->surface);
    cairo_t* context = begin(*nativeGraphics);
    // The image stretched over the destination rectangle, its edge pixels
    // carried to the rectangle's edges rather than faded out.
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(source->surface);
    cairo_matrix_t placement;
    cairo_matrix_init(&placement, double(width / REAL(imageWidth)), 0, 0, double(height / REAL(imageHeight)), double(x), double(y));
    cairo_matrix_invert(&placement);
    cairo_pattern_set_matrix(pattern, &placement);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
    cairo_set_source(context, pattern);
    cairo_pattern_destroy(pattern);
    cairo_set_antialias(context, CAIRO_ANTIALIAS_DEFAULT);
    cairo_rectangle(context, double(x), double(y), double(width), double(height));
    cairo_fill(context);
    return SetStatus(finish(*nativeGraphics));
}

Status Graphics::DrawImage(Image* image, INT x, INT y, INT width, INT height)
{
    return DrawImage(image, REAL(x), REAL(y), REAL(width), REAL(height));
}

Status Graphics::DrawString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                            const StringFormat* stringFormat, const Brush* brush)
{
    const GpFont* gpFont = native(font);
    if (!nativeGraphics || !string || !gpFont || !native(brush))
        return SetStatus(InvalidParameter);
    const GpStringFormat* format = native(stringFormat);
    const TextLayout layout = layoutText(textOf(string, length), *gpFont, layoutRect, format);
    GpGraphics& g = *nativeGraphics;
    cairo_t* context = begin(g);
    if (!useBrush(context, *native(brush)))
        return SetStatus(finish(g));
    if (layoutRect.Width > 0 && layoutRect.Height > 0 && !(format && (format->flags & StringFormatFlagsNoClip))) {
        cairo_rectangle(context, double(layoutRect.X), double(layoutRect.Y), double(layoutRect.Width), double(layoutRect.Height));
        cairo_clip(context);
    }
    const double em = gpFont->pixelSize();
    const TextRenderingHint hint = g.state.textHint;
    const bool antialias =
        hint != TextRenderingHintSingleBitPerPixel && hint != TextRenderingHintSingleBitPerPixelGridFit;
    const cairo_matrix_t device = g.device();
    if (device.xy == 0 && device.yx == 0 && device.xx == device.yy && device.xx > 0) {
        // Glyph images hinted at their size in device pixels and put on
        // whole device pixels, as the hinting meant them. Rounding to the
        // nearest keeps the ink inside the measured box, which is what a
        // view's size (and so its clip) is made of.
        cairo_identity_matrix(context);
        for (const PlacedGlyph& glyph : layout.glyphs) {
            double x = glyph.x, y = glyph.y;
            cairo_matrix_transform_point(&device, &x, &y);
            gpFont->face->paintGlyph(context, glyph.index, em * device.xx, antialias,
                                     int(std::lround(x)), int(std::lround(y)));
        }
        cairo_set_matrix(context, &device);
    } else {
        for (const PlacedGlyph& glyph : layout.glyphs)
            gpFont->face->addGlyphOutline(context, glyph.index, em, glyph.x, glyph.y);
        cairo_set_fill_rule(context, CAIRO_FILL_RULE_WINDING);
        cairo_set_antialias(context, antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
        cairo_fill(context);
    }
    return SetStatus(finish(g));
}

Status Graphics::DrawString(const WCHAR* string, INT length, const Font* font, const PointF& origin,
                            const StringFormat* stringFormat, const Brush* brush)
{
    return DrawString(string, length, font, RectF(origin.X, origin.Y, 0, 0), stringFormat, brush);
}

Status Graphics::MeasureString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                               const StringFormat* stringFormat, RectF* boundingBox, INT* codepointsFitted,
                               INT* linesFilled) const
{
    if (!nativeGraphics || !string || !native(font) || !boundingBox)
        return SetStatus(InvalidParameter);
    const TextLayout layout = layoutText(textOf(string, length), *native(font), layoutRect, native(stringFormat));
    *boundingBox = layout.box;
    if (codepointsFitted)
        *codepointsFitted = layout.codepointsFitted;
    if (linesFilled)
        *linesFilled = INT(layout.lines.size());
    return Ok;
}

Status Graphics::MeasureString(const WCHAR* string, INT length, const Font* font, const PointF& origin,
                               const StringFormat* stringFormat, RectF* boundingBox) const
{
    return MeasureString(string, length, font, RectF(origin.X, origin.Y, 0, 0), stringFormat, boundingBox);
}

Status Graphics::SetClip(const Rect& rect, CombineMode combineMode)
{
    return SetClip(RectF(REAL(rect.X), REAL(rect.Y), REAL(rect.Width), REAL(rect.Height)), combineMode);
}

Status Graphics::SetClip(const RectF& rect, CombineMode combineMode)
{
    const Region region(rect);
    return SetClip(&region, combineMode);
}

Status Graphics::SetClip(const Region* region, CombineMode combineMode)
{
    const GpRegion* source = native(region);
    if (!nativeGraphics || !source || combineMode < CombineModeReplace || combineMode > CombineModeComplement)
        return SetStatus(InvalidParameter);
    // The views replace, narrow and cut out; a union, an exclusive or and a
    // complement are left to the system's GDI+.
    if (combineMode != CombineModeReplace && combineMode != CombineModeIntersect && combineMode != CombineModeExclude)
        return SetStatus(NotImplemented);
    GpGraphics& g = *nativeGraphics;
    const PixelRegion shape =
        source->infinite ? PixelRegion() : rasterize(transformed(source->figures, g.device()), g.bounds);
    g.state.clip = combine(g.state.clip, shape, combineMode, g.bounds);
    g.clipApplied = false;
    return Ok;
}

Status Graphics::IntersectClip(const Rect& rect) { return SetClip(rect, CombineModeIntersect); }

Status Graphics::IntersectClip(const RectF& rect) { return SetClip(rect, CombineModeIntersect); }

Status Graphics::GetClip(Region* region) const
{
    GpRegion* target = native(region);
    if (!nativeGraphics || !target)
        return SetStatus(InvalidParameter);
    const PixelRegion& clip = nativeGraphics->state.clip;
    target->infinite = clip.infinite();
    target->figures.clear();
    if (clip.infinite())
        return Ok;
    // The clip's pixels, in the world coordinates now in force.
    cairo_matrix_t toWorld = nativeGraphics->device();
    cairo_matrix_invert(&toWorld);
    const int count = cairo_region_num_rectangles(clip.get());
    for (int i = 0; i < count; ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(clip.get(), i, &r);
        for (auto& figure : rectangleFigure(RectF(REAL(r.x), REAL(r.y), REAL(r.width), REAL(r.height))))
            target->figures.push_back(std::move(figure));
    }
    target->figures = transformed(target->figures, toWorld);
    return Ok;
}

Status Graphics::ResetClip()
{
    if (!nativeGraphics)
        return SetStatus(InvalidParameter);
    nativeGraphics->state.clip = PixelRegion();
    nativeGraphics->clipApplied = false;
    return Ok;
}

} // namespace Gdiplus
