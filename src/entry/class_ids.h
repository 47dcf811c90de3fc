#pragma once
// The class IDs and the VST 2 unique ID, derived from class names by SHA-256.
// Saved projects refer to these values, so the derivation and its salt never
// change.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvel {

// 16 bytes in the SDK's COM-compatible FUID layout (the layout of a TUID on
// Windows), identical on every platform.
using ClassId = std::array<std::uint8_t, 16>;

inline constexpr std::string_view processorClassName = "Tarvel64";
inline constexpr std::string_view controllerClassName = "Tarvel64Controller";
inline constexpr std::string_view vst2Suffix = "vst2";

// The salt mixed into every class ID, as text.
std::string classIdSalt();

// SHA-256 of name + salt + suffix; the first 16 digest bytes read as four
// little-endian words and laid out as a COM-compatible FUID.
ClassId makeClassId(std::string_view name, std::string_view suffix);

ClassId processorClassId();
ClassId controllerClassId();

// The four bytes taken as signed 8-bit values and combined in 32-bit two's
// complement, so a byte of 0x80 or more borrows from the one above it.
std::int32_t vst2IdFromBytes(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) noexcept;

std::int32_t vst2UniqueId();

} // namespace tarvel
