#pragma once
#include "views/drawable_view.h"

namespace vantle::vst {

// A stroked path of line strips and Bézier chains, all in one figure.
class VNLine : public VSTGUI::CView, public IDrawable {
public:
    explicit VNLine(const VSTGUI::CPoint& origin);

    void draw(VSTGUI::CDrawContext* context) override;
    void setProperty(const std::string& name, const picojson::value& value) override;
    void paint(Gdiplus::Graphics& graphics) override;

    ArrayProperty<PathPrimitiveProperty> paths;
    ColorProperty color;
    DoubleProperty width;
    PropertiesByName propertiesByName;

private:
    void updateSize();
};

} // namespace vantle::vst
