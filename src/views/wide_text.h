#pragma once
#include <gdiplus.h>

#include <string>

namespace vantle::vst {

using WideString = std::basic_string<WCHAR>;

// UTF-8 to UTF-16 (code points up to U+10FFFF); throws std::range_error on
// malformed input, overlong forms and surrogate code points.
WideString toWide(const std::string& utf8);

} // namespace vantle::vst
