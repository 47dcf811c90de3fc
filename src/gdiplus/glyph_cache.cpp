#include "glyph_cache.h"

namespace Gdiplus {

GlyphMask::~GlyphMask()
{
    if (mask)
        cairo_surface_destroy(mask);
}

SharedGlyph GlyphCache::find(const GlyphKey& key) const
{
    const std::lock_guard lock(mutex);
    const auto found = glyphs.find(key);
    return found != glyphs.end() ? found->second : nullptr;
}

SharedGlyph GlyphCache::keep(const GlyphKey& key, SharedGlyph glyph)
{
    // Declared before the lock, so what a full cache forgets is released
    // (and its masks destroyed) after the lock is.
    std::map<GlyphKey, SharedGlyph> forgotten;
    const std::lock_guard lock(mutex);
    if (const auto found = glyphs.find(key); found != glyphs.end())
        return found->second;
    if (glyphs.size() >= capacity)
        forgotten.swap(glyphs);
    glyphs.emplace(key, glyph);
    return glyph;
}

std::size_t GlyphCache::size() const
{
    const std::lock_guard lock(mutex);
    return glyphs.size();
}

} // namespace Gdiplus
