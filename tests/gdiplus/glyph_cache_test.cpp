// The glyph cache's ownership: a glyph handed out lives as long as anyone
// holds it, whatever the cache forgets meanwhile.
#include "gdiplus/glyph_cache.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace Gdiplus;

// A mask whose destruction is seen through cairo's user data.
struct WatchedMask {
    std::shared_ptr<bool> destroyed = std::make_shared<bool>(false);
    SharedGlyph glyph;

    explicit WatchedMask(unsigned char ink)
    {
        cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, 4, 4);
        cairo_surface_flush(mask);
        cairo_image_surface_get_data(mask)[0] = ink;
        cairo_surface_mark_dirty(mask);
        static const cairo_user_data_key_t key{};
        cairo_surface_set_user_data(mask, &key, new std::shared_ptr<bool>(destroyed), [](void* flag) {
            auto* owner = static_cast<std::shared_ptr<bool>*>(flag);
            **owner = true;
            delete owner;
        });
        glyph = std::make_shared<const GlyphMask>(mask, 1, 2, 3.0);
    }
};

GlyphKey keyOf(unsigned int glyph) { return {glyph, 12 * 64, true}; }

TEST(GlyphCache, AGlyphHeldWhenTheCacheStartsOverStaysWholeUntilItsHolderLetsGo)
{
    GlyphCache cache(2);
    SharedGlyph held;
    std::shared_ptr<bool> heldDestroyed;
    {
        WatchedMask first(0x5A);
        heldDestroyed = first.destroyed;
        cache.keep(keyOf(1), std::move(first.glyph));
    }
    held = cache.find(keyOf(1));
    ASSERT_NE(held, nullptr);
    cache.keep(keyOf(2), WatchedMask(1).glyph);
    cache.keep(keyOf(3), WatchedMask(2).glyph); // full: the cache starts over

    EXPECT_EQ(cache.find(keyOf(1)), nullptr);
    EXPECT_EQ(cache.size(), 1u);
    EXPECT_FALSE(*heldDestroyed);
    EXPECT_EQ(cairo_surface_status(held->mask), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_data(held->mask)[0], 0x5A);
    EXPECT_EQ(held->left, 1);
    EXPECT_EQ(held->top, 2);

    held.reset();
    EXPECT_TRUE(*heldDestroyed);
}

TEST(GlyphCache, TheFirstGlyphKeptForAKeyIsTheOneEveryoneGetsAndTheLaterOneIsFreed)
{
    GlyphCache cache;
    WatchedMask first(1);
    WatchedMask second(2);
    const GlyphMask* firstGlyph = first.glyph.get();
    const std::shared_ptr<bool> secondDestroyed = second.destroyed;

    EXPECT_EQ(cache.keep(keyOf(7), std::move(first.glyph)).get(), firstGlyph);
    EXPECT_EQ(cache.keep(keyOf(7), std::move(second.glyph)).get(), firstGlyph);
    EXPECT_TRUE(*secondDestroyed);
    EXPECT_EQ(cache.find(keyOf(7)).get(), firstGlyph);
    EXPECT_EQ(cache.size(), 1u);
}

TEST(GlyphCache, NeverKeepsMoreThanItsLimit)
{
    GlyphCache cache(3);
    for (unsigned int glyph = 0; glyph < 10; ++glyph) {
        cache.keep(keyOf(glyph), WatchedMask(1).glyph);
        EXPECT_LE(cache.size(), 3u);
        EXPECT_NE(cache.find(keyOf(glyph)), nullptr);
    }
}

} // namespace
