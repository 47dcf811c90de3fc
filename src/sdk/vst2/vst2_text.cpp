#include "sdk/vst2/vst2_text.h"

#include <cstring>

#include "foundation/utf8.h"

namespace Steinberg::Vst {

namespace {

constexpr char32_t replacement = vantle::replacementCharacter;

bool isContinuation(unsigned char byte) noexcept { return (byte & 0xC0) == 0x80; }

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

} // namespace

void copyVst2Text(char* destination, std::size_t capacity, std::string_view text) noexcept
{
    if (!destination || capacity == 0)
        return;
    std::size_t length = text.size();
    if (length > capacity - 1) {
        length = capacity - 1;
        while (length > 0 && isContinuation(static_cast<unsigned char>(text[length])))
            --length;
        while (length > 0 && text[length - 1] == ' ')
            --length;
    }
    std::memcpy(destination, text.data(), length);
    destination[length] = '\0';
}

std::string utf8FromUtf16(const TChar* text, std::size_t maxUnits)
{
    std::string out;
    if (!text)
        return out;
    for (std::size_t i = 0; i < maxUnits && text[i] != 0; ++i) {
        const char32_t unit = static_cast<char16_t>(text[i]);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < maxUnits) {
            const char32_t low = static_cast<char16_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        appendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? replacement : unit);
    }
    return out;
}

void utf16FromUtf8(std::string_view text, String128 out) noexcept
{
    constexpr std::size_t capacity = 127;
    std::size_t written = 0;
    std::size_t at = 0;
    while (at < text.size() && text[at] != '\0') {
        // Hosts' texts are shown, never refused: a byte that is not valid
        // UTF-8 becomes U+FFFD.
        const vantle::Utf8Sequence sequence = vantle::decodeUtf8(text, at);
        at += sequence.length;
        char16_t units[2];
        const std::size_t count = vantle::toUtf16(sequence.valid ? sequence.codePoint : replacement, units);
        if (written + count > capacity)
            break;
        for (std::size_t i = 0; i < count; ++i)
            out[written++] = static_cast<TChar>(units[i]);
    }
    out[written] = 0;
}

} // namespace Steinberg::Vst
