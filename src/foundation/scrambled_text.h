#pragma once
// Storage form of the program's fixed texts and asset blobs.
//
// Every fixed text is scrambled at compile time (scrambleText is consteval, so
// the plain characters never reach the binary) and turned back into text at
// run time by decodeLiteral. Asset blobs use the same key stream, restarted
// for every blob, and are unscrambled by decodeAsset whenever they are read.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vantle {

// Linear congruential key stream; the key byte is the top byte of the state.
class KeyStream {
public:
    static constexpr std::uint32_t seed = 0x7A2C91E5u;

    constexpr std::uint8_t next() noexcept
    {
        state = state * 1103515245u + 24691u;
        return static_cast<std::uint8_t>(state >> 24);
    }

private:
    std::uint32_t state = seed;
};

// One word per character, data in the low 8 bits only.
inline constexpr std::size_t scrambledLiteralLength = 64;
using ScrambledLiteral = std::array<std::uint32_t, scrambledLiteralLength>;

// Scrambles a string literal at compile time. The terminator is scrambled too,
// and the remaining words are padding that decodes to zero, so every literal
// has the same length whatever its text.
template <std::size_t N>
consteval ScrambledLiteral scrambleText(const char (&text)[N])
{
    static_assert(N <= scrambledLiteralLength, "fixed texts are at most 63 characters");
    ScrambledLiteral words{};
    KeyStream keys;
    for (std::size_t i = 0; i < scrambledLiteralLength; ++i) {
        const auto plain = i < N ? static_cast<std::uint8_t>(text[i]) : std::uint8_t{0};
        words[i] = static_cast<std::uint32_t>(plain ^ keys.next());
    }
    return words;
}

// The text of a scrambled literal: ends at the first word that decodes to 0
// or at the end of the array.
std::string decodeLiteral(std::span<const std::uint32_t> words);

// The plain bytes of a scrambled blob; zero bytes do not end it.
std::vector<std::uint8_t> decodeAsset(const std::uint8_t* stored, std::size_t count);

} // namespace vantle

// A fixed text, stored scrambled and decoded where it is used.
#define VANTLE_TEXT(text) (::vantle::decodeLiteral(::vantle::scrambleText(text)))
