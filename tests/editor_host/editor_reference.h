#pragma once
// What the editor must show for given parameter values and loudness
// reading, drawn offscreen with the same views and layout the module uses.

#include "editor/editor_view_tree.h"
#include "embedded_assets.h"
#include "framework/resource_cache.h"
#include "toolkit/cframe.h"
#include "toolkit/gdiplus_globals.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tarvel::test {

// The readout the processor of a stereo instance reports for a reading
// (no side-to-mid compression going on); an inactive one reports none.
inline Readout referenceReadout(const std::array<double, 5>& values, double meter, bool active)
{
    Parameters parameters;
    for (std::int32_t id = 0; id < 5; ++id)
        parameters[id] = float(values[std::size_t(id)]);
    return readoutFor(meter, 0.0, parameters, active);
}

inline std::vector<std::uint32_t> referenceEditor(const std::array<double, 5>& values, double meter, bool active,
                                                  const Readout& readout, double scale = 1)
{
    VSTGUI::GDIPlusGlobals::enter();
    std::vector<std::uint32_t> pixels;
    {
        vantle::vst::ResourceCache cache([](const std::string& name) { return vantle::vst::assetBytes(uiAssets(), name); });
        VSTGUI::CFrame frame(VSTGUI::CRect(0, 0, 500, 256), nullptr);
        frame.setBackgroundColor(0xFF7F7F7F);
        frame.setScaleFactor(scale);
        const vantle::vst::ViewsByName views = createEditorViews(frame, cache, nullptr);
        vantle::vst::applyLayoutJson(vantle::vst::assetText(uiAssets(), layoutAssetName()), views);
        for (std::uint32_t id = 0; id < 5; ++id)
            showParameterValue(views, id, values[id]);
        showMappingCurve(views, meter, active);
        showReadout(views, readout, active);
        Gdiplus::Bitmap* bitmap = frame.render();
        for (int y = 0; y < int(bitmap->GetHeight()); ++y)
            for (int x = 0; x < int(bitmap->GetWidth()); ++x) {
                Gdiplus::Color color;
                bitmap->GetPixel(x, y, &color);
                pixels.push_back(color.GetValue());
            }
    }
    VSTGUI::GDIPlusGlobals::exit();
    return pixels;
}

inline std::vector<std::uint32_t> referenceEditor(const std::array<double, 5>& values, double meter, bool active,
                                                  double scale = 1)
{
    return referenceEditor(values, meter, active, referenceReadout(values, meter, active), scale);
}

// The largest difference of any colour channel between two images.
inline int largestDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
{
    if (a.size() != b.size())
        return 256;
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16}) {
            const int difference = int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF);
            largest = std::max(largest, std::abs(difference));
        }
    return largest;
}

} // namespace tarvel::test
