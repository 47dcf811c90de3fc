#include "views/wide_text.h"

#include "foundation/scrambled_text.h"
#include "foundation/utf8.h"

#include <stdexcept>

namespace vantle::vst {

WideString toWide(const std::string& utf8)
{
    WideString wide;
    wide.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        // Texts to draw come from the product and its layout document: a
        // malformed one is an error to report, not something to guess at.
        const Utf8Sequence sequence = decodeUtf8(utf8, at);
        if (!sequence.valid)
            throw std::range_error(VANTLE_TEXT("text is not valid UTF-8"));
        at += sequence.length;
        char16_t units[2];
        const std::size_t count = toUtf16(sequence.codePoint, units);
        wide.append(units, units + count);
    }
    return wide;
}

} // namespace vantle::vst
