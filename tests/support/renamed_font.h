#pragma once
// A TrueType font under a family name of the test's own, so that what the
// test reads back cannot be a name the system (or Wine's font
// replacements) already gives the same face.

#include <cstdint>
#include <string>
#include <vector>

namespace tarvel::test {

// The font with its naming table replaced by one that names family (and
// the full name, unique id and PostScript name after it, style
// "Regular"); checksums made right again. Empty if font is not a
// TrueType/OpenType file.
std::vector<std::uint8_t> withFamilyName(const std::vector<std::uint8_t>& font, const std::u16string& family);

} // namespace tarvel::test
