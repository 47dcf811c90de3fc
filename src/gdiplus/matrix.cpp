#include "gdiplus_matrix.h"
#include "native_objects.h"

#include <cmath>

namespace Gdiplus {

namespace {

// Prepending applies the operation before the matrix; appending, after it.
void combine(cairo_matrix_t& target, const cairo_matrix_t& operation, MatrixOrder order)
{
    cairo_matrix_t result;
    if (order == MatrixOrderPrepend)
        cairo_matrix_multiply(&result, &operation, &target);
    else
        cairo_matrix_multiply(&result, &target, &operation);
    target = result;
}

} // namespace

Matrix::Matrix() : Matrix(1, 0, 0, 1, 0, 0) {}

Matrix::Matrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy)
{
    nativeMatrix = new GpMatrix;
    cairo_matrix_init(&nativeMatrix->value, double(m11), double(m12), double(m21), double(m22), double(dx), double(dy));
}

Matrix::~Matrix() { delete nativeMatrix; }

Status Matrix::Translate(REAL offsetX, REAL offsetY, MatrixOrder order)
{
    cairo_matrix_t operation;
    cairo_matrix_init_translate(&operation, double(offsetX), double(offsetY));
    combine(nativeMatrix->value, operation, order);
    return Ok;
}

Status Matrix::Rotate(REAL angle, MatrixOrder order)
{
    cairo_matrix_t operation;
    cairo_matrix_init_rotate(&operation, double(angle) * M_PI / 180.0);
    combine(nativeMatrix->value, operation, order);
    return Ok;
}

Status Matrix::Scale(REAL scaleX, REAL scaleY, MatrixOrder order)
{
    cairo_matrix_t operation;
    cairo_matrix_init_scale(&operation, double(scaleX), double(scaleY));
    combine(nativeMatrix->value, operation, order);
    return Ok;
}

Status Matrix::Multiply(const Matrix* matrix, MatrixOrder order)
{
    if (!matrix)
        return SetStatus(InvalidParameter);
    combine(nativeMatrix->value, matrix->nativeMatrix->value, order);
    return Ok;
}

Status Matrix::GetElements(REAL* m) const
{
    if (!m)
        return SetStatus(InvalidParameter);
    const cairo_matrix_t& v = nativeMatrix->value;
    const double elements[6] = {v.xx, v.yx, v.xy, v.yy, v.x0, v.y0};
    for (int i = 0; i < 6; ++i)
        m[i] = static_cast<REAL>(elements[i]);
    return Ok;
}

} // namespace Gdiplus
