#pragma once
// Applies a layout document (view name → property name → JSON value) to a
// set of named views.

#include "toolkit/cview.h"

#include <map>
#include <string>

namespace vantle::vst {

using ViewsByName = std::map<std::string, VSTGUI::CView*>;

// Members are applied in ascending byte order of view names, and within a
// view of property names. Every failure is caught and logged; one bad entry
// never stops the rest. Returns the log (empty when the text is not JSON,
// in which case nothing is applied); writes it to logPath when that is not
// empty and can be opened.
std::string applyLayoutJson(const std::string& document, const ViewsByName& viewsByName,
                            const std::string& logPath = {});

} // namespace vantle::vst
