#include "font_faces.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <fontconfig/fontconfig.h>

#include <cmath>

namespace Gdiplus {

namespace {

// A FreeType library may not create or destroy faces on two threads at once.
std::mutex freeTypeMutex;

class FreeTypeLibrary {
public:
    FreeTypeLibrary()
    {
        if (FT_Init_FreeType(&library) != 0)
            library = nullptr;
    }
    ~FreeTypeLibrary()
    {
        if (library)
            FT_Done_FreeType(library);
    }
    FreeTypeLibrary(const FreeTypeLibrary&) = delete;
    FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;

    FT_Library library = nullptr;
};

struct FontSystem {
    std::mutex mutex;
    std::shared_ptr<FreeTypeLibrary> library;
    // Installed faces by file and index, so that asking for a family again
    // does not open its file again.
    std::map<std::string, std::shared_ptr<const FontFace>> installed;
};

FontSystem& fontSystem()
{
    static FontSystem system;
    return system;
}

std::shared_ptr<FreeTypeLibrary> currentLibrary()
{
    FontSystem& system = fontSystem();
    const std::lock_guard lock(system.mutex);
    return system.library;
}

} // namespace

// One FreeType face with what it is read from.
class FaceResource {
public:
    FaceResource(std::shared_ptr<FreeTypeLibrary> owner, std::shared_ptr<const std::vector<std::uint8_t>> data)
        : library(std::move(owner)), bytes(std::move(data))
    {
    }
    ~FaceResource()
    {
        if (face) {
            const std::lock_guard lock(freeTypeMutex);
            FT_Done_Face(face);
        }
    }
    FaceResource(const FaceResource&) = delete;
    FaceResource& operator=(const FaceResource&) = delete;

    std::shared_ptr<FreeTypeLibrary> library;
    std::shared_ptr<const std::vector<std::uint8_t>> bytes;
    FT_Face face = nullptr;
    // A face has one size and one glyph slot: one user at a time.
    std::mutex mutex;
};

namespace {

// Sizes are kept in FreeType's 26.6 fixed point.
long fixedSize(double emPixels) { return std::lround(emPixels * 64.0); }

// Synthetic styles, as font rasterisers make them: the outline thickened by
// a 24th of the em for bold, slanted by about 12 degrees for italic.
void synthesise(FT_Face face, INT style)
{
    FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
        return;
    if (style & FontStyleBold) {
        const FT_Pos strength = FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24;
        FT_Outline_Embolden(&slot->outline, strength);
        slot->advance.x += strength;
    }
    if (style & FontStyleItalic) {
        const FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &shear);
    }
}

} // namespace

FontFace::FontFace(std::shared_ptr<FaceResource> faceResource, std::u16string familyName)
    : resource(std::move(faceResource)), family(std::move(familyName))
{
    const FT_Face face = resource->face;
    if (face->units_per_EM > 0 && face->ascender > 0) {
        const double em = face->units_per_EM;
        ascentPerEm = face->ascender / em;
        descentPerEm = -face->descender / em;
        if (face->underline_thickness > 0) {
            underlinePerEm = face->underline_position / em;
            underlineThicknessPerEm = face->underline_thickness / em;
        }
    }
}

FontFace::~FontFace()
{
    for (auto& [key, glyph] : glyphs)
        if (glyph.mask)
            cairo_surface_destroy(glyph.mask);
}

unsigned int FontFace::glyphIndex(char32_t character) const
{
    const std::lock_guard lock(resource->mutex);
    return FT_Get_Char_Index(resource->face, character);
}

bool FontFace::load(unsigned int glyph, double emPixels, INT style, std::int32_t flags) const
{
    const FT_Face face = resource->face;
    if (FT_Set_Char_Size(face, 0, fixedSize(emPixels), 72, 72) != 0 || FT_Load_Glyph(face, glyph, flags) != 0)
        return false;
    synthesise(face, style);
    return true;
}

const FontFace::RenderedGlyph* FontFace::rendered(unsigned int glyph, double emPixels, INT style, bool antialias) const
{
    const GlyphKey key{glyph, fixedSize(emPixels), style & FontStyleBoldItalic, antialias};
    {
        const std::lock_guard lock(glyphsMutex);
        if (const auto found = glyphs.find(key); found != glyphs.end())
            return &found->second;
    }
    RenderedGlyph result;
    {
        const std::lock_guard lock(resource->mutex);
        const std::int32_t target = antialias ? FT_LOAD_TARGET_LIGHT : FT_LOAD_TARGET_MONO;
        if (!load(glyph, emPixels, style, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP | target))
            return nullptr;
        const FT_GlyphSlot slot = resource->face->glyph;
        result.advance = std::round(double(slot->advance.x) / 64.0);
        if (FT_Render_Glyph(slot, antialias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) == 0 &&
            slot->bitmap.width > 0 && slot->bitmap.rows > 0) {
            const FT_Bitmap& bitmap = slot->bitmap;
            result.left = slot->bitmap_left;
            result.top = slot->bitmap_top;
            result.mask = cairo_image_surface_create(CAIRO_FORMAT_A8, int(bitmap.width), int(bitmap.rows));
            unsigned char* data = cairo_image_surface_get_data(result.mask);
            const int stride = cairo_image_surface_get_stride(result.mask);
            for (unsigned int row = 0; row < bitmap.rows; ++row) {
                const unsigned char* source = bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch;
                unsigned char* destination = data + std::ptrdiff_t(row) * stride;
                for (unsigned int column = 0; column < bitmap.width; ++column) {
                    // A one-bit glyph's pixels are bits, most significant first.
                    const bool inked = (unsigned{source[column / 8]} >> (7 - column % 8)) & 1u;
                    destination[column] = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (inked ? 0xFF : 0x00) : source[column];
                }
            }
            cairo_surface_mark_dirty(result.mask);
        }
    }
    const std::lock_guard lock(glyphsMutex);
    // A bound on what one face keeps: text here comes in a few sizes.
    if (glyphs.size() >= 4096) {
        for (auto& [oldKey, old] : glyphs)
            if (old.mask)
                cairo_surface_destroy(old.mask);
        glyphs.clear();
    }
    const auto [entry, added] = glyphs.emplace(key, result);
    if (!added && result.mask)
        cairo_surface_destroy(result.mask);
    return &entry->second;
}

double FontFace::advance(unsigned int glyph, double emPixels, INT style) const
{
    const RenderedGlyph* glyphData = rendered(glyph, emPixels, style, true);
    return glyphData ? glyphData->advance : 0;
}

void FontFace::paintGlyph(cairo_t* context, unsigned int glyph, double emPixels, INT style, bool antialias, int x,
                          int y) const
{
    const RenderedGlyph* glyphData = rendered(glyph, emPixels, style, antialias);
    if (glyphData && glyphData->mask)
        cairo_mask_surface(context, glyphData->mask, x + glyphData->left, y - glyphData->top);
}

namespace {

struct OutlineTarget {
    cairo_t* context;
    double x, y;
    FT_Vector last;
};

void point(const OutlineTarget& target, const FT_Vector* v, double& x, double& y)
{
    x = target.x + double(v->x) / 64.0;
    y = target.y - double(v->y) / 64.0;
}

int moveTo(const FT_Vector* to, void* user)
{
    auto& target = *static_cast<OutlineTarget*>(user);
    double x, y;
    point(target, to, x, y);
    cairo_close_path(target.context);
    cairo_move_to(target.context, x, y);
    target.last = *to;
    return 0;
}

int lineTo(const FT_Vector* to, void* user)
{
    auto& target = *static_cast<OutlineTarget*>(user);
    double x, y;
    point(target, to, x, y);
    cairo_line_to(target.context, x, y);
    target.last = *to;
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    // A quadratic segment as the cubic that traces it.
    auto& target = *static_cast<OutlineTarget*>(user);
    double x0, y0, xc, yc, x3, y3;
    point(target, &target.last, x0, y0);
    point(target, control, xc, yc);
    point(target, to, x3, y3);
    cairo_curve_to(target.context, x0 + 2.0 / 3.0 * (xc - x0), y0 + 2.0 / 3.0 * (yc - y0),
                   x3 + 2.0 / 3.0 * (xc - x3), y3 + 2.0 / 3.0 * (yc - y3), x3, y3);
    target.last = *to;
    return 0;
}

int cubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user)
{
    auto& target = *static_cast<OutlineTarget*>(user);
    double x1, y1, x2, y2, x3, y3;
    point(target, control1, x1, y1);
    point(target, control2, x2, y2);
    point(target, to, x3, y3);
    cairo_curve_to(target.context, x1, y1, x2, y2, x3, y3);
    target.last = *to;
    return 0;
}

} // namespace

void FontFace::addGlyphOutline(cairo_t* context, unsigned int glyph, double emPixels, INT style, double x,
                               double y) const
{
    const std::lock_guard lock(resource->mutex);
    if (!load(glyph, emPixels, style, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) ||
        resource->face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return;
    const FT_Outline_Funcs functions{moveTo, lineTo, conicTo, cubicTo, 0, 0};
    OutlineTarget target{context, x, y, {0, 0}};
    cairo_new_sub_path(context);
    FT_Outline_Decompose(&resource->face->glyph->outline, &functions, &target);
    cairo_close_path(context);
}

namespace {

std::shared_ptr<const FontFace> makeFace(const std::shared_ptr<FreeTypeLibrary>& library,
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
    return std::make_shared<const FontFace>(resource, toUtf16(familyName));
}

std::shared_ptr<const FontFace> matchInstalled(const std::string& family, bool exactName)
{
    const std::shared_ptr<FreeTypeLibrary> library = currentLibrary();
    if (!library || !library->library)
        return nullptr;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return nullptr;
    // fontconfig always offers its best substitute; GDI+ knows a family only
    // by its own name.
    bool named = !exactName;
    FcChar8* matchedFamily = nullptr;
    for (int i = 0; !named && FcPatternGetString(match, FC_FAMILY, i, &matchedFamily) == FcResultMatch; ++i)
        named = FcStrCmpIgnoreCase(matchedFamily, reinterpret_cast<const FcChar8*>(family.c_str())) == 0;
    FcChar8* file = nullptr;
    int index = 0;
    const bool located = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    const std::string path = located ? reinterpret_cast<const char*>(file) : "";
    FcPatternDestroy(match);
    if (!named || !located)
        return nullptr;

    const std::string key = path + '#' + std::to_string(index);
    FontSystem& system = fontSystem();
    {
        const std::lock_guard lock(system.mutex);
        if (const auto found = system.installed.find(key); found != system.installed.end())
            return found->second;
    }
    std::shared_ptr<const FontFace> face = makeFace(library, nullptr, path.c_str(), index);
    if (face) {
        const std::lock_guard lock(system.mutex);
        if (system.library == library)
            system.installed.emplace(key, face);
    }
    return face;
}

} // namespace

std::vector<std::shared_ptr<const FontFace>> loadFacesFromMemory(const void* data, std::size_t size)
{
    std::vector<std::shared_ptr<const FontFace>> faces;
    const std::shared_ptr<FreeTypeLibrary> library = currentLibrary();
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
        if (std::shared_ptr<const FontFace> face = makeFace(library, bytes, nullptr, index))
            faces.push_back(std::move(face));
    return faces;
}

std::shared_ptr<const FontFace> findInstalledFamily(const std::u16string& name)
{
    return name.empty() ? nullptr : matchInstalled(toUtf8(name), true);
}

std::shared_ptr<const FontFace> findGenericSansSerif() { return matchInstalled("sans-serif", false); }

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
    std::map<std::string, std::shared_ptr<const FontFace>> installed;
    std::shared_ptr<FreeTypeLibrary> library;
    {
        FontSystem& system = fontSystem();
        const std::lock_guard lock(system.mutex);
        installed.swap(system.installed);
        library.swap(system.library);
    }
    // Released outside the lock: destroying a face takes FreeType's lock.
}

std::string toUtf8(const std::u16string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD; // a lone surrogate
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string toUtf16(const std::string& text)
{
    // Font names: UTF-8, or Latin-1 where a byte does not start a valid
    // sequence.
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
        char32_t c = extra == 3 ? byte & 0x07 : extra == 2 ? byte & 0x0F : extra == 1 ? byte & 0x1F : byte;
        bool valid = byte < 0x80 || extra > 0;
        for (int k = 1; valid && k <= extra; ++k) {
            if (i + std::size_t(k) >= text.size() || (static_cast<unsigned char>(text[i + std::size_t(k)]) & 0xC0) != 0x80)
                valid = false;
            else
                c = (c << 6) | (static_cast<unsigned char>(text[i + std::size_t(k)]) & 0x3F);
        }
        if (!valid) {
            c = byte;
            extra = 0;
        }
        if (c >= 0x10000) {
            out += char16_t(0xD800 + ((c - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += char16_t(c);
        }
        i += std::size_t(extra) + 1;
    }
    return out;
}

} // namespace Gdiplus
