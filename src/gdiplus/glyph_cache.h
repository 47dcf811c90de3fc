#pragma once
// The rendered glyphs of one face, shared by every thread that draws with it.
// A glyph is handed out with shared ownership: when the cache is full and
// starts over, a glyph that another thread is still drawing stays alive until
// that thread lets go of it, so no caller ever holds a glyph the cache freed.

#include <cairo.h>

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

namespace Gdiplus {

// A glyph as an alpha mask placed relative to its origin, with its advance.
// Owns the mask; a glyph without ink (a space) has none.
struct GlyphMask {
    GlyphMask(cairo_surface_t* ownedMask, int leftOffset, int topOffset, double advanceWidth) noexcept
        : mask(ownedMask), left(leftOffset), top(topOffset), advance(advanceWidth)
    {
    }
    ~GlyphMask();
    GlyphMask(const GlyphMask&) = delete;
    GlyphMask& operator=(const GlyphMask&) = delete;

    cairo_surface_t* const mask;
    const int left;
    const int top;
    const double advance;
};

using SharedGlyph = std::shared_ptr<const GlyphMask>;

// Glyph index, em size in FreeType's 26.6 fixed point, antialiased or not.
using GlyphKey = std::tuple<unsigned int, long, bool>;

class GlyphCache {
public:
    // A bound on what one face keeps: text here comes in a few sizes.
    static constexpr std::size_t defaultLimit = 4096;

    explicit GlyphCache(std::size_t limit = defaultLimit) : capacity(limit) {}

    // The glyph kept for the key, or null.
    SharedGlyph find(const GlyphKey& key) const;
    // Keeps a newly rendered glyph and returns the one kept for the key: the
    // one given, or the one another thread kept first. A full cache forgets
    // everything first (what callers hold stays theirs).
    SharedGlyph keep(const GlyphKey& key, SharedGlyph glyph);
    std::size_t size() const;

private:
    const std::size_t capacity;
    mutable std::mutex mutex;
    std::map<GlyphKey, SharedGlyph> glyphs;
};

} // namespace Gdiplus
