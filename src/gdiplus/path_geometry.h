#pragma once
// A path's points and types turned into cairo path operations.

#include "native_objects.h"

#include <vector>

namespace Gdiplus {

// Adds the path's figures to the context's current path, in user space.
void emitPath(cairo_t* context, const GpPath& path);

} // namespace Gdiplus
