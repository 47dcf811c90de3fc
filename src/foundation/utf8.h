#pragma once
// UTF-8 decoding and the UTF-16 form of a code point, for every layer that
// turns 8-bit text into the 16-bit text of its interfaces. Which rule bad
// input gets (an error, or U+FFFD) is the caller's: the decoder only says
// where a sequence is not valid UTF-8.

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

inline constexpr char32_t replacementCharacter = 0xFFFD;

// The UTF-16 units of a code point up to U+10FFFF: one, or a surrogate pair.
// Returns how many.
std::size_t toUtf16(char32_t codePoint, char16_t (&units)[2]) noexcept;

} // namespace vantle
