#pragma once
// The class IDs and the VST 2 unique ID, derived from class names by SHA-256.
// Saved projects refer to these values, so the derivation and its salt never
// change.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvel {

// A class ID as the four 32-bit words of the SDK's FUID. The class ID a host
// sees is the SDK's FUID of these words, in the platform's own byte layout
// (COM's on Windows), so that its text form (FUID::toString), which hosts
// store in projects, reads the same on every platform.
struct ClassId {
    std::uint32_t l1, l2, l3, l4;
    friend bool operator==(const ClassId&, const ClassId&) = default;
};

inline constexpr std::string_view processorClassName = "Tarvel64";
inline constexpr std::string_view controllerClassName = "Tarvel64Controller";
inline constexpr std::string_view vst2Suffix = "vst2";

// The salt mixed into every class ID, as text.
std::string classIdSalt();

// SHA-256 of name + salt + suffix; the first 16 digest bytes read as four
// little-endian words.
ClassId makeClassId(std::string_view name, std::string_view suffix);

ClassId processorClassId();
ClassId controllerClassId();

// The four bytes taken as signed 8-bit values and combined in 32-bit two's
// complement, so a byte of 0x80 or more borrows from the one above it.
std::int32_t vst2IdFromBytes(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) noexcept;

// From the first four digest bytes of the processor's name with the VST 2
// suffix (the low word's bytes), the same number on every platform.
std::int32_t vst2UniqueId();

} // namespace tarvel
