#pragma once
#include "views/drawable_view.h"
#include "views/wide_text.h"

#include <memory>

namespace vantle::vst {

class ResourceCache;

// A single run of text anchored at a point.
class VNText : public VSTGUI::CView, public IDrawable {
public:
    VNText(const VSTGUI::CPoint& anchor, ResourceCache* resources);

    void draw(VSTGUI::CDrawContext* context) override;
    void setProperty(const std::string& name, const picojson::value& value) override;
    void paint(Gdiplus::Graphics& graphics) override;

    // Alignment factor: 0 near, -0.5 centre, -1 any other value.
    static double alignmentFactor(Gdiplus::StringAlignment alignment);

    PointProperty position;
    StringProperty text;
    StringProperty font;
    IntProperty fontSize;
    ColorProperty color;
    AlignmentProperty align;
    AlignmentProperty verticalAlign;
    DoubleProperty pitch;
    PropertiesByName propertiesByName;

private:
    void update();
    Gdiplus::RectF measure(const WideString& sample) const;

    ResourceCache* resourceCache;
    std::unique_ptr<Gdiplus::Font> currentFont;
    std::unique_ptr<Gdiplus::StringFormat> format;
    std::unique_ptr<Gdiplus::SolidBrush> brush;
    WideString wideText;
};

} // namespace vantle::vst
