// tarvel-snapshot: renders a layout document's views offscreen to a PNG.
// usage: tarvel-snapshot <output.png> [layout.json]
// Without a layout file the embedded layout document is used.

#include "embedded_assets.h"
#include "framework/layout_json.h"
#include "framework/resource_cache.h"
#include "framework/scrambled_text.h"
#include "png_writer.h"
#include "toolkit/cframe.h"
#include "toolkit/gdiplus_globals.h"
#include "views/vn_line.h"
#include "views/vn_rect.h"
#include "views/vn_text.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace vantle::vst;

// The editor's static artwork, by the names its layout uses.
ViewsByName createViews(VSTGUI::CFrame& frame, ResourceCache& cache)
{
    ViewsByName views;
    const auto add = [&](const std::string& name, VSTGUI::CView* view) {
        frame.addView(view);
        views[name] = view;
    };
    add(VANTLE_TEXT("background"), new VNRect);
    for (const char group : std::string("ABCD"))
        for (int i = 0; i < (group == 'D' ? 2 : 3); ++i)
            add(VANTLE_TEXT("label") + group + std::to_string(i), new VNText({0, 0}, &cache));
    add(VANTLE_TEXT("divider"), new VNLine({0, 0}));
    for (int i = 1; i <= 5; ++i)
        add(VANTLE_TEXT("caption") + std::to_string(i), new VNText({0, 0}, &cache));
    return views;
}

bool writePng(Gdiplus::Bitmap& bitmap, const std::string& path)
{
    const int width = static_cast<int>(bitmap.GetWidth());
    const int height = static_cast<int>(bitmap.GetHeight());
    std::vector<std::uint8_t> rgba;
    rgba.reserve(std::size_t(width) * std::size_t(height) * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Gdiplus::Color color;
            bitmap.GetPixel(x, y, &color);
            rgba.insert(rgba.end(), {color.GetR(), color.GetG(), color.GetB(), color.GetA()});
        }
    return tarvel::png::writeRgba(path, width, height, rgba);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: tarvel-snapshot <output.png> [layout.json]\n";
        return 2;
    }
    std::string layout;
    if (argc == 3) {
        std::ifstream file(argv[2], std::ios::binary);
        if (!file) {
            std::cerr << "tarvel-snapshot: cannot read " << argv[2] << '\n';
            return 1;
        }
        std::ostringstream text;
        text << file.rdbuf();
        layout = text.str();
    } else {
        layout = assetText(tarvel::uiAssets(), tarvel::layoutAssetName());
    }

    VSTGUI::GDIPlusGlobals::enter();
    int result = 0;
    {
        ResourceCache cache([](const std::string& name) { return assetBytes(tarvel::uiAssets(), name); });
        VSTGUI::CFrame frame(VSTGUI::CRect(0, 0, 500, 256), nullptr);
        frame.setBackgroundColor(0xFF7F7F7F);
        const ViewsByName views = createViews(frame, cache);
        const std::string log = applyLayoutJson(layout, views);
        if (log.empty())
            std::cerr << "tarvel-snapshot: the layout is not JSON; rendering the defaults\n";
        else
            std::cout << log;
        Gdiplus::Bitmap* bitmap = frame.render();
        if (!bitmap || !writePng(*bitmap, argv[1])) {
            std::cerr << "tarvel-snapshot: cannot write " << argv[1] << '\n';
            result = 1;
        }
    }
    VSTGUI::GDIPlusGlobals::exit();
    return result;
}
