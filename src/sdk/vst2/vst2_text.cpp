#include "sdk/vst2/vst2_text.h"

#include <cstring>

namespace Steinberg::Vst {

namespace {

constexpr char32_t replacement = 0xFFFD;

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

// The code point starting at text[at] and its length in bytes.
char32_t decodeUtf8(std::string_view text, std::size_t at, std::size_t& length) noexcept
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t count = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        length = 1;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        count = 2;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 3;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 4;
        c = lead & 0x07;
    } else {
        length = 1;
        return replacement;
    }
    if (at + count > text.size()) {
        length = 1;
        return replacement;
    }
    for (std::size_t i = 1; i < count; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if (!isContinuation(byte)) {
            length = 1;
            return replacement;
        }
        c = (c << 6) | (byte & 0x3F);
    }
    length = count;
    return c > 0x10FFFF ? replacement : c;
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
        std::size_t length = 1;
        const char32_t c = decodeUtf8(text, at, length);
        at += length;
        if (c >= 0x10000) {
            if (written + 2 > capacity)
                break;
            out[written++] = static_cast<TChar>(0xD800 + ((c - 0x10000) >> 10));
            out[written++] = static_cast<TChar>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            if (written + 1 > capacity)
                break;
            out[written++] = static_cast<TChar>(c);
        }
    }
    out[written] = 0;
}

} // namespace Steinberg::Vst
