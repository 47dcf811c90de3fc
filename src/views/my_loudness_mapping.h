#pragma once
// The graph of the compressor's static level mapping: input level across,
// output level up, one grid cell per 6 units, 0 at the top right. It shows
// the curve the editor computed, darker beyond the current input level and
// filled beneath where the level has reached, and a cross-hair at the
// target. The view only lays out and paints; the editor fills in the data.

#include "views/drawable_view.h"

#include <vector>

namespace vantle::vst {

class ResourceCache;

class MyLoudnessMapping : public VSTGUI::CView, public IDrawable {
public:
    MyLoudnessMapping(const VSTGUI::CPoint& origin, ResourceCache* resources);

    void draw(VSTGUI::CDrawContext* context) override;
    void setProperty(const std::string& name, const picojson::value& value) override;
    void paint(Gdiplus::Graphics& graphics) override;

    // Pixel offsets from `position` of a level on each axis.
    double levelToX(double level) const;
    double levelToY(double level) const;
    // The grid's side in pixels.
    float extent() const;

    // (input level, output level) pairs, in order.
    std::vector<VSTGUI::CPoint> curvePoints;
    double currentLevel = 0;
    double targetLevel = 0;

    DoubleProperty cellSize;
    IntProperty cellCount;
    PointProperty position;
    PropertiesByName propertiesByName;

    // The font asset of the level labels.
    static std::string labelFontName();

private:
    void updateSize();
    void paintPanel(Gdiplus::Graphics& graphics, float extent) const;
    void paintGrid(Gdiplus::Graphics& graphics, float extent) const;
    void paintCurve(Gdiplus::Graphics& graphics, float extent) const;
    void paintCrossHair(Gdiplus::Graphics& graphics, float extent) const;

    ResourceCache* resourceCache;
};

} // namespace vantle::vst
