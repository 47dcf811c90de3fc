#pragma once
#include "gdiplus_native.h"

namespace Gdiplus {

class Matrix {
public:
    Matrix();
    Matrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
    ~Matrix();
    Matrix(const Matrix&) = delete;
    Matrix& operator=(const Matrix&) = delete;

    Status Translate(REAL offsetX, REAL offsetY, MatrixOrder order = MatrixOrderPrepend);
    Status Rotate(REAL angle, MatrixOrder order = MatrixOrderPrepend);
    Status Scale(REAL scaleX, REAL scaleY, MatrixOrder order = MatrixOrderPrepend);
    Status Multiply(const Matrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    Status GetElements(REAL* m) const;
    Status TransformPoints(PointF* points, INT count = 1) const;
    Status GetLastStatus() const;

protected:
    friend class Graphics;
    friend class GraphicsPath;
    friend class TextureBrush;
    Status SetStatus(Status status) const;

    GpMatrix* nativeMatrix = nullptr;
    mutable Status lastResult = Ok;
};

} // namespace Gdiplus
