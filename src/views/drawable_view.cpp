#include "views/drawable_view.h"

#include "toolkit/cdrawcontext.h"

namespace vantle::vst {

void drawWithGdiplus(VSTGUI::CView& view, IDrawable& drawable, VSTGUI::CDrawContext* context)
{
    auto* gdiplusContext = dynamic_cast<VSTGUI::GdiplusDrawContext*>(context);
    if (gdiplusContext && gdiplusContext->getGraphics()) {
        Gdiplus::Graphics& graphics = *gdiplusContext->getGraphics();
        const Gdiplus::GraphicsState state = graphics.Save();
        graphics.ResetTransform();
        drawable.paint(graphics);
        graphics.Restore(state);
    }
    view.setDirty(false);
}

void setDrawableProperty(VSTGUI::CView& view, const PropertiesByName& properties, const std::string& name,
                         const picojson::value& value)
{
    const auto found = properties.find(name);
    if (found != properties.end())
        found->second->setJson(value);
    else
        view.CView::setProperty(name, value);
}

} // namespace vantle::vst
