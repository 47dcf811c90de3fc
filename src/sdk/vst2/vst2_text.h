#pragma once
// Texts between the VST 3 side (UTF-16) and a VST 2 host (8-bit buffers of a
// size fixed by the opcode, UTF-8 here).

#include <cstddef>
#include <string>
#include <string_view>

#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg::Vst {

// At most capacity - 1 bytes of text and a terminator, cut at a character
// boundary; trailing spaces left by the cut are dropped. Nothing is written
// when destination is null or capacity is 0.
void copyVst2Text(char* destination, std::size_t capacity, std::string_view text) noexcept;

// A terminated UTF-16 text of at most maxUnits units as UTF-8; unpaired
// surrogates become U+FFFD.
std::string utf8FromUtf16(const TChar* text, std::size_t maxUnits = 128);

// UTF-8 (at most 127 units of result) into a terminated String128; invalid
// bytes become U+FFFD.
void utf16FromUtf8(std::string_view text, String128 out) noexcept;

} // namespace Steinberg::Vst
