#pragma once
// A view with one property of every kind a layout document can set, so a
// document can reach every property parser: i (int), d (double), s
// (string), c (colour), a (alignment), p (point), r (rect), paths and pts.

#include <map>
#include <string>

#include "framework/property.h"

namespace tarvel::test {

class EveryKindView : public VSTGUI::CView {
public:
    EveryKindView() : CView(VSTGUI::CRect(0, 0, 8, 8))
    {
        byName = {{"i", &integer}, {"d", &real},   {"s", &text},  {"c", &color},
                  {"a", &align},   {"p", &point},  {"r", &rect},  {"paths", &paths},
                  {"pts", &points}};
        for (auto& [name, property] : byName)
            property->addListener([this] { invalid(); });
    }
    void setProperty(const std::string& name, const picojson::value& value) override
    {
        const auto found = byName.find(name);
        if (found != byName.end())
            found->second->setJson(value);
        else
            CView::setProperty(name, value);
    }

private:
    vantle::vst::IntProperty integer;
    vantle::vst::DoubleProperty real;
    vantle::vst::StringProperty text;
    vantle::vst::ColorProperty color;
    vantle::vst::AlignmentProperty align;
    vantle::vst::PointProperty point;
    vantle::vst::RectProperty rect;
    vantle::vst::ArrayProperty<vantle::vst::PathPrimitiveProperty> paths;
    vantle::vst::ArrayProperty<vantle::vst::PointProperty> points;
    std::map<std::string, vantle::vst::Property*> byName;
};

} // namespace tarvel::test
