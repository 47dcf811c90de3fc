#pragma once
// The flat C functions of libgdiplus that the C++ classes call. Debian ships
// libgdiplus without headers, so the declarations are ours; the object types
// are opaque, as in the Windows flat API.

#include "gdiplus_types.h"

namespace Gdiplus {

class GpGraphics;
class GpImage;
class GpBitmap;
class GpBrush;
class GpSolidFill;
class GpLineGradient;
class GpPathGradient;
class GpTexture;
class GpPen;
class GpPath;
class GpMatrix;
class GpRegion;
class GpFont;
class GpFontFamily;
class GpFontCollection;
class GpStringFormat;

typedef Status GpStatus;

// Start-up and shut-down keep the Windows signatures; the shut-down first
// drops the font caches that would otherwise trip fontconfig's own shut-down.
Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);
void GdiplusShutdown(ULONG_PTR token);

namespace DllExports {
extern "C" {

// Memory.
void* GdipAlloc(size_t size);
void GdipFree(void* ptr);

// Graphics.
GpStatus GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics);
GpStatus GdipDeleteGraphics(GpGraphics* graphics);
GpStatus GdipSaveGraphics(GpGraphics* graphics, GraphicsState* state);
GpStatus GdipRestoreGraphics(GpGraphics* graphics, GraphicsState state);
GpStatus GdipResetWorldTransform(GpGraphics* graphics);
GpStatus GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
GpStatus GdipGetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
GpStatus GdipMultiplyWorldTransform(GpGraphics* graphics, const GpMatrix* matrix, MatrixOrder order);
GpStatus GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy, MatrixOrder order);
GpStatus GdipRotateWorldTransform(GpGraphics* graphics, REAL angle, MatrixOrder order);
GpStatus GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy, MatrixOrder order);
GpStatus GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode);
GpStatus GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* mode);
GpStatus GdipSetCompositingMode(GpGraphics* graphics, CompositingMode mode);
GpStatus GdipGetCompositingMode(GpGraphics* graphics, CompositingMode* mode);
GpStatus GdipSetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode mode);
GpStatus GdipGetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode* mode);
GpStatus GdipSetTextRenderingHint(GpGraphics* graphics, TextRenderingHint hint);
GpStatus GdipGraphicsClear(GpGraphics* graphics, ARGB color);
GpStatus GdipFlush(GpGraphics* graphics, FlushIntention intention);
GpStatus GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path);
GpStatus GdipDrawPath(GpGraphics* graphics, GpPen* pen, GpPath* path);
GpStatus GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
GpStatus GdipDrawLines(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count);
GpStatus GdipFillPolygon(GpGraphics* graphics, GpBrush* brush, const PointF* points, INT count, FillMode fillMode);
GpStatus GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipFillEllipse(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipFillEllipseI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height);
GpStatus GdipDrawImage(GpGraphics* graphics, GpImage* image, REAL x, REAL y);
GpStatus GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y);
GpStatus GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height);
GpStatus GdipDrawString(GpGraphics* graphics, const WCHAR* string, INT length, const GpFont* font,
                        const RectF* layoutRect, const GpStringFormat* format, const GpBrush* brush);
GpStatus GdipMeasureString(GpGraphics* graphics, const WCHAR* string, INT length, const GpFont* font,
                           const RectF* layoutRect, const GpStringFormat* format, RectF* boundingBox,
                           INT* codepointsFitted, INT* linesFilled);
GpStatus GdipSetClipRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height, CombineMode mode);
GpStatus GdipSetClipRectI(GpGraphics* graphics, INT x, INT y, INT width, INT height, CombineMode mode);
GpStatus GdipSetClipRegion(GpGraphics* graphics, GpRegion* region, CombineMode mode);
GpStatus GdipGetClip(GpGraphics* graphics, GpRegion* region);
GpStatus GdipResetClip(GpGraphics* graphics);

// Regions.
GpStatus GdipCreateRegion(GpRegion** region);
GpStatus GdipCreateRegionRect(const RectF* rect, GpRegion** region);
GpStatus GdipCreateRegionRectI(const Rect* rect, GpRegion** region);
GpStatus GdipDeleteRegion(GpRegion* region);

// Images and bitmaps.
GpStatus GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0,
                                   GpBitmap** bitmap);
GpStatus GdipDisposeImage(GpImage* image);
GpStatus GdipGetImageWidth(GpImage* image, UINT* width);
GpStatus GdipGetImageHeight(GpImage* image, UINT* height);
GpStatus GdipGetImagePixelFormat(GpImage* image, PixelFormat* format);
GpStatus GdipBitmapLockBits(GpBitmap* bitmap, const Rect* rect, UINT flags, PixelFormat format,
                            BitmapData* lockedData);
GpStatus GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* lockedData);
GpStatus GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color);

// libgdiplus's stand-in for loading from an IStream: the image is read
// through callbacks. The header callback peeks at the first bytes; the others
// behave like read, write, lseek, close and a size query.
typedef int (*GetHeaderDelegate)(BYTE* buffer, int size);
typedef int (*GetBytesDelegate)(BYTE* buffer, int size, BOOL peek);
typedef long (*SeekDelegate)(int offset, int whence);
typedef int (*PutBytesDelegate)(BYTE* buffer, int size);
typedef void (*CloseDelegate)();
typedef long (*SizeDelegate)();
GpStatus GdipLoadImageFromDelegate_linux(GetHeaderDelegate getHeader, GetBytesDelegate getBytes,
                                         PutBytesDelegate putBytes, SeekDelegate seek, CloseDelegate close,
                                         SizeDelegate size, GpImage** image);

// Brushes.
GpStatus GdipDeleteBrush(GpBrush* brush);
GpStatus GdipCreateSolidFill(ARGB color, GpSolidFill** brush);
GpStatus GdipSetSolidFillColor(GpSolidFill* brush, ARGB color);
GpStatus GdipCreateLineBrush(const PointF* point1, const PointF* point2, ARGB color1, ARGB color2,
                             WrapMode wrapMode, GpLineGradient** lineGradient);
GpStatus GdipCreatePathGradientFromPath(const GpPath* path, GpPathGradient** brush);
GpStatus GdipSetPathGradientCenterColor(GpPathGradient* brush, ARGB color);
GpStatus GdipGetPathGradientCenterPoint(GpPathGradient* brush, PointF* point);
GpStatus GdipSetPathGradientCenterPoint(GpPathGradient* brush, const PointF* point);
GpStatus GdipSetPathGradientSurroundColorsWithCount(GpPathGradient* brush, const ARGB* colors, INT* count);
GpStatus GdipCreateTexture(GpImage* image, WrapMode wrapMode, GpTexture** texture);
GpStatus GdipSetTextureTransform(GpTexture* brush, const GpMatrix* matrix);

// Pens.
GpStatus GdipCreatePen1(ARGB color, REAL width, Unit unit, GpPen** pen);
GpStatus GdipDeletePen(GpPen* pen);

// Paths.
GpStatus GdipCreatePath(FillMode fillMode, GpPath** path);
GpStatus GdipDeletePath(GpPath* path);
GpStatus GdipAddPathLine(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2);
GpStatus GdipAddPathLine2(GpPath* path, const PointF* points, INT count);
GpStatus GdipAddPathBeziers(GpPath* path, const PointF* points, INT count);
GpStatus GdipAddPathRectangle(GpPath* path, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipAddPathEllipse(GpPath* path, REAL x, REAL y, REAL width, REAL height);
GpStatus GdipAddPathArc(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                        REAL sweepAngle);
GpStatus GdipStartPathFigure(GpPath* path);
GpStatus GdipClosePathFigure(GpPath* path);
GpStatus GdipTransformPath(GpPath* path, GpMatrix* matrix);
GpStatus GdipGetPointCount(GpPath* path, INT* count);
GpStatus GdipGetPathPoints(GpPath* path, PointF* points, INT count);

// Matrices.
GpStatus GdipCreateMatrix(GpMatrix** matrix);
GpStatus GdipCreateMatrix2(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy, GpMatrix** matrix);
GpStatus GdipDeleteMatrix(GpMatrix* matrix);
GpStatus GdipTranslateMatrix(GpMatrix* matrix, REAL offsetX, REAL offsetY, MatrixOrder order);
GpStatus GdipRotateMatrix(GpMatrix* matrix, REAL angle, MatrixOrder order);
GpStatus GdipScaleMatrix(GpMatrix* matrix, REAL scaleX, REAL scaleY, MatrixOrder order);
GpStatus GdipMultiplyMatrix(GpMatrix* matrix, GpMatrix* matrix2, MatrixOrder order);
GpStatus GdipGetMatrixElements(const GpMatrix* matrix, REAL* elements);
GpStatus GdipTransformMatrixPoints(GpMatrix* matrix, PointF* points, INT count);

// Fonts.
GpStatus GdipCreateFontFamilyFromName(const WCHAR* name, GpFontCollection* collection, GpFontFamily** family);
GpStatus GdipDeleteFontFamily(GpFontFamily* family);
GpStatus GdipCloneFontFamily(GpFontFamily* family, GpFontFamily** clone);
GpStatus GdipGetGenericFontFamilySansSerif(GpFontFamily** family);
GpStatus GdipGetFamilyName(const GpFontFamily* family, WCHAR name[LF_FACESIZE], LANGID language);
GpStatus GdipCreateFont(const GpFontFamily* family, REAL emSize, INT style, Unit unit, GpFont** font);
GpStatus GdipDeleteFont(GpFont* font);
GpStatus GdipGetFontSize(GpFont* font, REAL* size);
GpStatus GdipNewPrivateFontCollection(GpFontCollection** collection);
GpStatus GdipDeletePrivateFontCollection(GpFontCollection** collection);
GpStatus GdipPrivateAddMemoryFont(GpFontCollection* collection, const void* memory, INT length);
GpStatus GdipGetFontCollectionFamilyCount(GpFontCollection* collection, INT* count);
GpStatus GdipGetFontCollectionFamilyList(GpFontCollection* collection, INT numSought, GpFontFamily* families[],
                                         INT* numFound);

// String formats.
GpStatus GdipCreateStringFormat(INT formatAttributes, LANGID language, GpStringFormat** format);
GpStatus GdipDeleteStringFormat(GpStringFormat* format);
GpStatus GdipSetStringFormatAlign(GpStringFormat* format, StringAlignment align);
GpStatus GdipGetStringFormatAlign(GpStringFormat* format, StringAlignment* align);
GpStatus GdipSetStringFormatLineAlign(GpStringFormat* format, StringAlignment align);
GpStatus GdipGetStringFormatLineAlign(GpStringFormat* format, StringAlignment* align);

} // extern "C"
} // namespace DllExports
} // namespace Gdiplus
