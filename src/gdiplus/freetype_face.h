#pragma once
// What the FreeType faces and the fontconfig lookup share inside the layer:
// the library of the running layer, a face opened with what it is read from,
// and the lookup's cache of installed faces, which stopping the layer clears.

#include "font_faces.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace Gdiplus {

class FreeTypeLibrary {
public:
    FreeTypeLibrary();
    ~FreeTypeLibrary();
    FreeTypeLibrary(const FreeTypeLibrary&) = delete;
    FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;

    FT_Library library = nullptr;
};

// One FreeType face with what it is read from.
class FaceResource {
public:
    FaceResource(std::shared_ptr<FreeTypeLibrary> owner, std::shared_ptr<const std::vector<std::uint8_t>> data)
        : library(std::move(owner)), bytes(std::move(data))
    {
    }
    ~FaceResource();
    FaceResource(const FaceResource&) = delete;
    FaceResource& operator=(const FaceResource&) = delete;

    std::shared_ptr<FreeTypeLibrary> library;
    std::shared_ptr<const std::vector<std::uint8_t>> bytes;
    FT_Face face = nullptr;
    // A face has one size and one glyph slot: one user at a time.
    std::mutex mutex;
};

// The library between startFontSystem and stopFontSystem, else null.
std::shared_ptr<FreeTypeLibrary> currentFreeTypeLibrary();

// Face number index of the bytes (when given) or of the file; null when
// FreeType cannot open it or it has no outlines.
std::shared_ptr<const FontFace> openFace(const std::shared_ptr<FreeTypeLibrary>& library,
                                         std::shared_ptr<const std::vector<std::uint8_t>> bytes, const char* path,
                                         long index);

// Releases the installed faces the lookup keeps (defined beside it).
void forgetInstalledFaces();

} // namespace Gdiplus
