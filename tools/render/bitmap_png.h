#pragma once
// A GDI+ bitmap written as an 8-bit RGBA PNG file.

#include <string>

namespace Gdiplus {
class Bitmap;
}

namespace tarvel::render {

// false when the pixels cannot be read or the file cannot be written.
bool writeBitmapPng(Gdiplus::Bitmap& bitmap, const std::string& path);

} // namespace tarvel::render
