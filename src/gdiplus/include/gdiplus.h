#pragma once
// The GDI+ C++ API subset, drawn with cairo and FreeType (Linux). Included
// as <gdiplus.h>, like the system header on Windows.

#include "gdiplus_types.h"
#include "gdiplus_native.h"
#include "gdiplus_matrix.h"
#include "gdiplus_region.h"
#include "gdiplus_path.h"
#include "gdiplus_image.h"
#include "gdiplus_brush.h"
#include "gdiplus_pen.h"
#include "gdiplus_font.h"
#include "gdiplus_string_format.h"
#include "gdiplus_graphics.h"
