#include "sdk/vst2/vst2_text.h"

#include <cstring>

#include "foundation/utf8.h"

namespace Steinberg::Vst {

namespace {

constexpr char32_t replacement = vantle::replacementCharacter;

bool isContinuation(unsigned char byte) noexcept { return (byte & 0xC0) == 0x80; }

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
    std::u16string units;
    for (std::size_t i = 0; i < maxUnits && text[i] != 0; ++i)
        units.push_back(static_cast<char16_t>(text[i]));
    for (std::size_t at = 0; at < units.size();) {
        // A host's text is shown, never refused: an unpaired surrogate
        // becomes U+FFFD.
        const vantle::Utf16Sequence sequence = vantle::decodeUtf16(units, at);
        at += sequence.length;
        char bytes[4];
        out.append(bytes, vantle::toUtf8(sequence.valid ? sequence.codePoint : replacement, bytes));
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
