#pragma once
// What the GDI+-painted views share: properties by name, and the draw step
// that hands the GDI+ graphics to paint.

#include "framework/property.h"
#include "toolkit/cview.h"
#include "views/idrawable.h"

#include <map>
#include <string>

namespace vantle::vst {

using PropertiesByName = std::map<std::string, Property*>;

// Saves the graphics state, resets the world transform, paints, restores;
// does nothing without a GDI+ context. Clears the view's dirty flag.
void drawWithGdiplus(VSTGUI::CView& view, IDrawable& drawable, VSTGUI::CDrawContext* context);

// The view's own property if it has one by that name, else the base view's
// handling ("size" or the not-found error).
void setDrawableProperty(VSTGUI::CView& view, const PropertiesByName& properties, const std::string& name,
                         const picojson::value& value);

} // namespace vantle::vst
