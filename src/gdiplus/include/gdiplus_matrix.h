#pragma once
#include "gdiplus_native.h"

namespace Gdiplus {

class Matrix : public LastStatus {
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

protected:
    friend class Graphics;
    friend class GraphicsPath;
    friend class TextureBrush;

    GpMatrix* nativeMatrix = nullptr;
};

} // namespace Gdiplus
