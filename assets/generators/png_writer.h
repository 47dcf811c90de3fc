#pragma once
// Minimal PNG encoding of 8-bit RGBA pixels (zlib for the image data).

#include <cstdint>
#include <string>
#include <vector>

namespace tarvel::png {

// rgba holds width × height pixels, 4 bytes each, rows top to bottom.
bool writeRgba(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba);

} // namespace tarvel::png
