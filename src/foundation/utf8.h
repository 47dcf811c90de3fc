#pragma once
// The one UTF-8 and UTF-16 codec of every layer that turns 8-bit text into
// the 16-bit text of its interfaces or back. Which rule bad input gets (an
// error, U+FFFD, or the byte read as Latin-1) is the caller's: the decoders
// only say where a sequence is not valid.

#include <cstddef>
#include <string_view>

namespace vantle {

struct Utf8Sequence {
    char32_t codePoint; // meaningful only when valid
    std::size_t length; // bytes consumed: the whole sequence, or 1 when not valid
    bool valid;
};

// The sequence starting at text[at], for at < text.size(). Not valid: a byte
// that starts no sequence (a stray continuation byte among them), a sequence
// cut short or broken off, an overlong form, a surrogate code point or one
// beyond U+10FFFF.
Utf8Sequence decodeUtf8(std::string_view text, std::size_t at) noexcept;

struct Utf16Sequence {
    char32_t codePoint; // meaningful only when valid
    std::size_t length; // units consumed: 2 for a surrogate pair, else 1
    bool valid;
};

// The sequence starting at text[at], for at < text.size(). Not valid: a
// surrogate without its partner.
Utf16Sequence decodeUtf16(std::u16string_view text, std::size_t at) noexcept;

inline constexpr char32_t replacementCharacter = 0xFFFD;

// The UTF-8 bytes of a code point up to U+10FFFF (surrogates are the
// caller's to replace first). Returns how many.
std::size_t toUtf8(char32_t codePoint, char (&bytes)[4]) noexcept;

// The UTF-16 units of a code point up to U+10FFFF: one, or a surrogate pair.
// Returns how many.
std::size_t toUtf16(char32_t codePoint, char16_t (&units)[2]) noexcept;

} // namespace vantle
