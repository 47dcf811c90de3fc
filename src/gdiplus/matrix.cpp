#include "gdiplus_matrix.h"

namespace Gdiplus {

using namespace DllExports;

Matrix::Matrix() { lastResult = GdipCreateMatrix(&nativeMatrix); }

Matrix::Matrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy)
{
    lastResult = GdipCreateMatrix2(m11, m12, m21, m22, dx, dy, &nativeMatrix);
}

Matrix::~Matrix()
{
    if (nativeMatrix)
        GdipDeleteMatrix(nativeMatrix);
}

Status Matrix::Translate(REAL offsetX, REAL offsetY, MatrixOrder order)
{
    return SetStatus(GdipTranslateMatrix(nativeMatrix, offsetX, offsetY, order));
}

Status Matrix::Rotate(REAL angle, MatrixOrder order) { return SetStatus(GdipRotateMatrix(nativeMatrix, angle, order)); }

Status Matrix::Scale(REAL scaleX, REAL scaleY, MatrixOrder order)
{
    return SetStatus(GdipScaleMatrix(nativeMatrix, scaleX, scaleY, order));
}

Status Matrix::Multiply(const Matrix* matrix, MatrixOrder order)
{
    return SetStatus(GdipMultiplyMatrix(nativeMatrix, matrix ? matrix->nativeMatrix : nullptr, order));
}

Status Matrix::GetElements(REAL* m) const { return SetStatus(GdipGetMatrixElements(nativeMatrix, m)); }

Status Matrix::TransformPoints(PointF* points, INT count) const
{
    return SetStatus(GdipTransformMatrixPoints(nativeMatrix, points, count));
}

Status Matrix::GetLastStatus() const
{
    const Status status = lastResult;
    lastResult = Ok;
    return status;
}

Status Matrix::SetStatus(Status status) const
{
    if (status != Ok)
        lastResult = status;
    return status;
}

} // namespace Gdiplus
