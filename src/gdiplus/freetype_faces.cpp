// FreeType faces: the library the faces share, opening faces from memory or
// a file, their metrics, and rendering glyphs into the face's glyph cache.
#include "freetype_face.h"

#include "foundation/utf8.h"

#include <cmath>
#include <string_view>

namespace Gdiplus {

namespace {

// A FreeType library may not create or destroy faces on two threads at once.
std::mutex freeTypeMutex;

struct FontSystem {
    std::mutex mutex;
    std::shared_ptr<FreeTypeLibrary> library;
};

FontSystem& fontSystem()
{
    static FontSystem system;
    return system;
}

// Sizes are kept in FreeType's 26.6 fixed point.
long fixedSize(double emPixels) { return std::lround(emPixels * 64.0); }

// Family names in font files: UTF-8, or Latin-1 where a byte does not start
// a valid sequence (older files), so that a name is never refused.
std::u16string familyNameOf(std::string_view name)
{
    std::u16string out;
    for (std::size_t at = 0; at < name.size();) {
        const vantle::Utf8Sequence sequence = vantle::decodeUtf8(name, at);
        at += sequence.length;
        char16_t units[2];
        const char32_t latin1 = static_cast<unsigned char>(name[at - 1]);
        out.append(units, vantle::toUtf16(sequence.valid ? sequence.codePoint : latin1, units));
    }
    return out;
}

// A one-bit glyph's pixels are bits, most significant first; the mask wants
// bytes.
cairo_surface_t* maskOf(const FT_Bitmap& bitmap)
{
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, int(bitmap.width), int(bitmap.rows));
    unsigned char* data = cairo_image_surface_get_data(mask);
    const int stride = cairo_image_surface_get_stride(mask);
    for (unsigned int row = 0; row < bitmap.rows; ++row) {
        const unsigned char* source = bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch;
        unsigned char* destination = data + std::ptrdiff_t(row) * stride;
        for (unsigned int column = 0; column < bitmap.width; ++column) {
            const bool inked = (unsigned{source[column / 8]} >> (7 - column % 8)) & 1u;
            destination[column] = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (inked ? 0xFF : 0x00) : source[column];
        }
    }
    cairo_surface_mark_dirty(mask);
    return mask;
}

} // namespace

FreeTypeLibrary::FreeTypeLibrary()
{
    if (FT_Init_FreeType(&library) != 0)
        library = nullptr;
}

FreeTypeLibrary::~FreeTypeLibrary()
{
    if (library)
        FT_Done_FreeType(library);
}

FaceResource::~FaceResource()
{
    if (face) {
        const std::lock_guard lock(freeTypeMutex);
        FT_Done_Face(face);
    }
}

std::shared_ptr<FreeTypeLibrary> currentFreeTypeLibrary()
{
    FontSystem& system = fontSystem();
    const std::lock_guard lock(system.mutex);
    return system.library;
}

FontFace::FontFace(std::shared_ptr<FaceResource> faceResource, std::u16string familyName)
    : resource(std::move(faceResource)), family(std::move(familyName))
{
    const FT_Face face = resource->face;
    if (face->units_per_EM > 0 && face->ascender > 0) {
        const double em = face->units_per_EM;
        ascentPerEm = face->ascender / em;
        descentPerEm = -face->descender / em;
    }
}

FontFace::~FontFace() = default;

unsigned int FontFace::glyphIndex(char32_t character) const
{
    const std::lock_guard lock(resource->mutex);
    return FT_Get_Char_Index(resource->face, character);
}

bool FontFace::load(unsigned int glyph, double emPixels, std::int32_t flags) const
{
    const FT_Face face = resource->face;
    return FT_Set_Char_Size(face, 0, fixedSize(emPixels), 72, 72) == 0 && FT_Load_Glyph(face, glyph, flags) == 0;
}

SharedGlyph FontFace::render(unsigned int glyph, double emPixels, bool antialias) const
{
    const std::lock_guard lock(resource->mutex);
    const std::int32_t target = antialias ? FT_LOAD_TARGET_LIGHT : FT_LOAD_TARGET_MONO;
    if (!load(glyph, emPixels, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP | target))
        return nullptr;
    const FT_GlyphSlot slot = resource->face->glyph;
    const double advance = std::round(double(slot->advance.x) / 64.0);
    if (FT_Render_Glyph(slot, antialias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0 ||
        slot->bitmap.width == 0 || slot->bitmap.rows == 0)
        return std::make_shared<const GlyphMask>(nullptr, 0, 0, advance);
    return std::make_shared<const GlyphMask>(maskOf(slot->bitmap), slot->bitmap_left, slot->bitmap_top, advance);
}

SharedGlyph FontFace::rendered(unsigned int glyph, double emPixels, bool antialias) const
{
    const GlyphKey key{glyph, fixedSize(emPixels), antialias};
    if (SharedGlyph found = glyphs.find(key))
        return found;
    SharedGlyph fresh = render(glyph, emPixels, antialias);
    return fresh ? glyphs.keep(key, std::move(fresh)) : nullptr;
}

double FontFace::advance(unsigned int glyph, double emPixels) const
{
    const SharedGlyph glyphData = rendered(glyph, emPixels, true);
    return glyphData ? glyphData->advance : 0;
}

void FontFace::paintGlyph(cairo_t* context, unsigned int glyph, double emPixels, bool antialias, int x, int y) const
{
    const SharedGlyph glyphData = rendered(glyph, emPixels, antialias);
    if (glyphData && glyphData->mask)
        cairo_mask_surface(context, glyphData->mask, x + glyphData->left, y - glyphData->top);
}

std::shared_ptr<const FontFace> openFace(const std::shared_ptr<FreeTypeLibrary>& library,
                                         std::shared_ptr<const std::vector<std::uint8_t>> bytes, const char* path,
                                         long index)
{
    auto resource = std::make_shared<FaceResource>(library, std::move(bytes));
    {
        const std::lock_guard lock(freeTypeMutex);
        const FT_Error error =
            resource->bytes ? FT_New_Memory_Face(library->library, resource->bytes->data(),
                                                 static_cast<FT_Long>(resource->bytes->size()), index, &resource->face)
                            : FT_New_Face(library->library, path, index, &resource->face);
        if (error != 0) {
            resource->face = nullptr;
            return nullptr;
        }
    }
    if (!FT_IS_SCALABLE(resource->face))
        return nullptr;
    const char* familyName = resource->face->family_name ? resource->face->family_name : "";
    return std::make_shared<const FontFace>(resource, familyNameOf(familyName));
}

std::vector<std::shared_ptr<const FontFace>> loadFacesFromMemory(const void* data, std::size_t size)
{
    std::vector<std::shared_ptr<const FontFace>> faces;
    const std::shared_ptr<FreeTypeLibrary> library = currentFreeTypeLibrary();
    if (!library || !library->library || !data || size == 0)
        return faces;
    const auto* first = static_cast<const std::uint8_t*>(data);
    auto bytes = std::make_shared<const std::vector<std::uint8_t>>(first, first + size);
    // Face index -1 only asks how many faces the file holds (a collection
    // file has several).
    long count = 0;
    {
        const std::lock_guard lock(freeTypeMutex);
        FT_Face probe = nullptr;
        if (FT_New_Memory_Face(library->library, bytes->data(), static_cast<FT_Long>(bytes->size()), -1, &probe) == 0) {
            count = probe->num_faces;
            FT_Done_Face(probe);
        }
    }
    for (long index = 0; index < count; ++index)
        if (std::shared_ptr<const FontFace> face = openFace(library, bytes, nullptr, index))
            faces.push_back(std::move(face));
    return faces;
}

bool startFontSystem()
{
    FontSystem& system = fontSystem();
    const std::lock_guard lock(system.mutex);
    if (!system.library)
        system.library = std::make_shared<FreeTypeLibrary>();
    return system.library->library != nullptr;
}

void stopFontSystem()
{
    std::shared_ptr<FreeTypeLibrary> library;
    {
        FontSystem& system = fontSystem();
        const std::lock_guard lock(system.mutex);
        library.swap(system.library);
    }
    // Outside the lock: destroying a face takes FreeType's lock. The lookup
    // keeps no face of a library that is no longer current once this is done.
    forgetInstalledFaces();
}

} // namespace Gdiplus
