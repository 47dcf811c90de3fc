#pragma once
#include "views/drawable_view.h"

namespace vantle::vst {

// A rectangle filled with a vertical two-colour gradient.
class VNRect : public VSTGUI::CView, public IDrawable {
public:
    VNRect();

    void draw(VSTGUI::CDrawContext* context) override;
    void setProperty(const std::string& name, const picojson::value& value) override;
    void paint(Gdiplus::Graphics& graphics) override;

    RectProperty rect;
    ColorProperty topColor;
    ColorProperty bottomColor;
    PropertiesByName propertiesByName;

private:
    void updateSize();
};

} // namespace vantle::vst
