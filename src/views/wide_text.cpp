#include "views/wide_text.h"

#include "framework/scrambled_text.h"

#include <stdexcept>

namespace vantle::vst {

WideString toWide(const std::string& utf8)
{
    WideString wide;
    wide.reserve(utf8.size());
    const auto fail = [] { throw std::range_error(VANTLE_TEXT("text is not valid UTF-8")); };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            code = lead & 0x07;
        } else {
            fail();
        }
        if (i + std::size_t(extra) >= utf8.size() && extra > 0)
            fail();
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + std::size_t(k)]);
            if ((next & 0xC0) != 0x80)
                fail();
            code = (code << 6) | (next & 0x3F);
        }
        static const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < smallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            fail();
        if (code >= 0x10000) {
            code -= 0x10000;
            wide.push_back(static_cast<WCHAR>(0xD800 + (code >> 10)));
            wide.push_back(static_cast<WCHAR>(0xDC00 + (code & 0x3FF)));
        } else {
            wide.push_back(static_cast<WCHAR>(code));
        }
        i += std::size_t(extra) + 1;
    }
    return wide;
}

} // namespace vantle::vst
