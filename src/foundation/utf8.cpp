#include "foundation/utf8.h"

namespace vantle {

Utf8Sequence decodeUtf8(std::string_view text, std::size_t at) noexcept
{
    constexpr Utf8Sequence invalid{0, 1, false};
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;
    if (lead < 0x80)
        return {lead, 1, true};
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1Fu;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0Fu;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07u;
        smallest = 0x10000;
    } else {
        return invalid;
    }
    if (length > text.size() - at)
        return invalid;
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if ((byte & 0xC0) != 0x80)
            return invalid;
        codePoint = (codePoint << 6) | (byte & 0x3Fu);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return invalid;
    return {codePoint, length, true};
}

std::size_t toUtf16(char32_t codePoint, char16_t (&units)[2]) noexcept
{
    if (codePoint < 0x10000) {
        units[0] = static_cast<char16_t>(codePoint);
        return 1;
    }
    const char32_t offset = codePoint - 0x10000;
    units[0] = static_cast<char16_t>(0xD800 + (offset >> 10));
    units[1] = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
    return 2;
}

Utf16Sequence decodeUtf16(std::u16string_view text, std::size_t at) noexcept
{
    const char32_t unit = text[at];
    const bool high = unit >= 0xD800 && unit < 0xDC00;
    const bool low = unit >= 0xDC00 && unit < 0xE000;
    if (!high && !low)
        return {unit, 1, true};
    if (low || at + 1 >= text.size())
        return {0, 1, false};
    const char32_t next = text[at + 1];
    if (next < 0xDC00 || next >= 0xE000)
        return {0, 1, false};
    return {0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00), 2, true};
}

std::size_t toUtf8(char32_t codePoint, char (&bytes)[4]) noexcept
{
    const auto byte = [](char32_t value) { return static_cast<char>(static_cast<unsigned char>(value)); };
    if (codePoint < 0x80) {
        bytes[0] = byte(codePoint);
        return 1;
    }
    if (codePoint < 0x800) {
        bytes[0] = byte(0xC0 | (codePoint >> 6));
        bytes[1] = byte(0x80 | (codePoint & 0x3F));
        return 2;
    }
    if (codePoint < 0x10000) {
        bytes[0] = byte(0xE0 | (codePoint >> 12));
        bytes[1] = byte(0x80 | ((codePoint >> 6) & 0x3F));
        bytes[2] = byte(0x80 | (codePoint & 0x3F));
        return 3;
    }
    bytes[0] = byte(0xF0 | (codePoint >> 18));
    bytes[1] = byte(0x80 | ((codePoint >> 12) & 0x3F));
    bytes[2] = byte(0x80 | ((codePoint >> 6) & 0x3F));
    bytes[3] = byte(0x80 | (codePoint & 0x3F));
    return 4;
}

} // namespace vantle
