#pragma once
// The editor's rotary control: the toolkit knob's mouse, wheel and keys,
// drawn with GDI+ as a ring of tick marks, a soft drop shadow, a textured
// and tinted face, and a glowing pointer that turns with the value. Every
// look and every measure is a property the layout document sets.

#include "toolkit/cknob.h"
#include "views/drawable_view.h"

#include <cstdint>
#include <memory>

namespace vantle::vst {

class ResourceCache;

class MyKnob : public VSTGUI::CKnob, public IDrawable {
public:
    struct TickMark {
        double thickness = 0;
        double innerRadius = 0;
        double outerRadius = 0;
        Gdiplus::ARGB color = 0;
        friend bool operator==(const TickMark&, const TickMark&) = default;
    };

    // One tick mark from a JSON object; members left out keep the starting
    // mark's values, unknown members are ignored.
    class TickMarkProperty final : public SimpleProperty<TickMark> {
    public:
        static TickMark convert(const picojson::value& json, const TickMark& current);
        void setJson(const picojson::value& json) override { set(convert(json, value)); }
    };

    // steps 0: continuous; otherwise the value snaps to multiples of 1/steps.
    MyKnob(const VSTGUI::CPoint& centre, VSTGUI::IControlListener* listener, std::int32_t tag,
           ResourceCache* resources, std::int32_t steps);
    ~MyKnob() override;

    void draw(VSTGUI::CDrawContext* context) override;
    void setProperty(const std::string& name, const picojson::value& value) override;
    void setValue(float value) override;
    void paint(Gdiplus::Graphics& graphics) override;

    std::int32_t getSteps() const { return steps; }
    // The pointer with its glow at angle 0, at the display's scale, or null
    // until the next paint.
    Gdiplus::Bitmap* getPointerLayer() const { return pointerLayer.get(); }

    DoubleProperty startAngle;
    DoubleProperty endAngle;
    ArrayProperty<TickMarkProperty> ticks;
    DoubleProperty shadowRadius;
    ColorProperty shadowColor;
    ColorProperty shadowEdgeColor;
    DoubleProperty faceRadius;
    ColorProperty faceTint;
    DoubleProperty pointerInner;
    DoubleProperty pointerOuter;
    DoubleProperty glowRadius;
    DoubleProperty glowGain;
    IntProperty glowPasses;
    ColorProperty pointerColor;
    ColorProperty pointerOutline;
    DoubleProperty mouseRadius;
    DoubleProperty viewRadius;
    PointProperty center;
    StringProperty faceImage;
    PropertiesByName propertiesByName;

private:
    void updateGeometry();
    void paintTicks(Gdiplus::Graphics& graphics) const;
    void paintShadow(Gdiplus::Graphics& graphics) const;
    void paintFace(Gdiplus::Graphics& graphics) const;
    void paintPointer(Gdiplus::Graphics& graphics);
    void buildPointerLayer(float scale);

    ResourceCache* resourceCache;
    std::int32_t steps;
    std::unique_ptr<Gdiplus::Bitmap> pointerLayer;
    float pointerLayerScale = 1;
};

} // namespace vantle::vst
