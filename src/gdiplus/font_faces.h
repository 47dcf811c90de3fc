#pragma once
// Font faces opened with FreeType: from memory for private collections, from
// the installed font files (found through fontconfig) for families asked for
// by name. Glyphs are rendered here and handed to cairo as plain masks or
// paths: cairo never holds a font of ours, so nothing of the layer stays in
// cairo's process-wide caches (which a host may share) once it is shut down.

#include "gdiplus_types.h"
#include "glyph_cache.h"

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Gdiplus {

class FaceResource;

class FontFace {
public:
    FontFace(std::shared_ptr<FaceResource> resource, std::u16string family);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const std::u16string& familyName() const { return family; }
    // Ascent and descent as fractions of the em.
    double ascent() const { return ascentPerEm; }
    double descent() const { return descentPerEm; }

    unsigned int glyphIndex(char32_t character) const;
    // The glyph's advance at an em size in pixels, hinted and rounded to
    // whole pixels.
    double advance(unsigned int glyph, double emPixels) const;
    // Paints the glyph with the context's source, its origin at the device
    // pixel (x, y): rendered by FreeType, hinted lightly, kept for reuse.
    void paintGlyph(cairo_t* context, unsigned int glyph, double emPixels, bool antialias, int x, int y) const;
    // Adds the glyph's unhinted outline to the context's path, its origin at
    // (x, y) in user space: for text under a scaled or rotated transform.
    void addGlyphOutline(cairo_t* context, unsigned int glyph, double emPixels, double x, double y) const;

private:
    // Loads the glyph into the face's slot (with the face's lock held).
    bool load(unsigned int glyph, double emPixels, std::int32_t flags) const;
    // The glyph from the cache, rendered first if it is not there; null when
    // FreeType cannot load it. The caller shares ownership while drawing.
    SharedGlyph rendered(unsigned int glyph, double emPixels, bool antialias) const;
    SharedGlyph render(unsigned int glyph, double emPixels, bool antialias) const;

    std::shared_ptr<FaceResource> resource;
    std::u16string family;
    double ascentPerEm = 0.8;
    double descentPerEm = 0.2;
    mutable GlyphCache glyphs;
};

// Every face of a font file in memory (a collection file has several); the
// bytes are copied. Empty when FreeType cannot open them.
std::vector<std::shared_ptr<const FontFace>> loadFacesFromMemory(const void* data, std::size_t size);

// The installed family of that exact name (ignoring case), or null; the
// generic sans-serif family is whatever the system's configuration names.
std::shared_ptr<const FontFace> findInstalledFamily(const std::u16string& name);
std::shared_ptr<const FontFace> findGenericSansSerif();

// Started and stopped with the layer: the FreeType library the faces share
// (each face keeps it alive until the face itself goes) and the cache of
// installed faces.
bool startFontSystem();
void stopFontSystem();

} // namespace Gdiplus
