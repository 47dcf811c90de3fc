#pragma once
// The text tarvel-render prints after a render.

#include <string>

#include "tools/host/effect_host.h"
#include "tools/render/renderer.h"

namespace tarvel::render {

struct ReportContext {
    std::string format;
    std::string inputName;
    std::string outputName; // empty: not written
    double sampleRate = 0.0;
};

std::string settingsLine(host::EffectHost& effect);
std::string renderReport(const ReportContext& context, const RenderResult& result);

} // namespace tarvel::render
