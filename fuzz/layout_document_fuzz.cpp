// The editor's layout document, which users edit and reload: applied to the
// editor's own view tree (built by the function the editor uses) on a frame
// without a window, plus two views with a property of every kind, then the
// whole editor drawn. Nothing crashes or leaks, a document that is JSON
// gets a log ending with its closing line, one that is not gets none.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "editor/editor_view_tree.h"
#include "embedded_assets.h"
#include "framework/layout_json.h"
#include "framework/resource_cache.h"
#include "fuzz/support/in_process_module.h"
#include "tests/support/every_kind_view.h"
#include "toolkit/cframe.h"
#include "toolkit/gdiplus_globals.h"

namespace {

using tarvel::fuzz::require;
using namespace vantle::vst;

bool isJson(const std::string& document)
{
    picojson::value parsed;
    try {
        return picojson::parse(parsed, document).empty();
    } catch (const std::overflow_error&) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    VSTGUI::GDIPlusGlobals::enter();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string document(reinterpret_cast<const char*>(data), size);
    // Fonts and images decoded once: the cache gives every editor the same.
    static ResourceCache cache([](const std::string& name) { return assetBytes(tarvel::uiAssets(), name); });
    VSTGUI::CFrame frame(VSTGUI::CRect(0, 0, 500, 256), nullptr);
    ViewsByName views = tarvel::createEditorViews(frame, cache, nullptr);
    tarvel::test::EveryKindView v;
    tarvel::test::EveryKindView w;
    views["v"] = &v;
    views["w"] = &w;

    const std::string log = applyLayoutJson(document, views);
    if (isJson(document))
        require(!log.empty() && log.back() == '\n', "a JSON document's log does not end with its closing line");
    else
        require(log.empty(), "a document that is not JSON was applied");
    frame.render();
    return 0;
}
