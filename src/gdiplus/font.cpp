#include "gdiplus_font.h"
#include "native_objects.h"

#include <algorithm>
#include <cctype>

namespace Gdiplus {

double pixelsPerUnit(Unit unit)
{
    switch (unit) {
    case UnitWorld:
    case UnitPixel:
        return 1;
    case UnitPoint:
        return 96.0 / 72.0;
    case UnitInch:
        return 96.0;
    case UnitDocument:
        return 96.0 / 300.0;
    case UnitMillimeter:
        return 96.0 / 25.4;
    default:
        return 0;
    }
}

double GpFont::pixelSize() const { return double(emSize) * pixelsPerUnit(unit); }

namespace {

bool sameName(const std::u16string& a, const std::u16string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char16_t x, char16_t y) {
        const auto lower = [](char16_t c) { return c < 128 ? char16_t(std::tolower(int(c))) : c; };
        return lower(x) == lower(y);
    });
}

GpFontFamily* familyOf(std::shared_ptr<const FontFace> face)
{
    if (!face)
        return nullptr;
    auto* family = new GpFontFamily;
    family->face = std::move(face);
    return family;
}

} // namespace

// FontFamily ------------------------------------------------------------------

FontFamily::FontFamily() = default;

FontFamily::FontFamily(const WCHAR* name, const FontCollection* fontCollection)
{
    if (!gdiplusRunning()) {
        lastResult = GdiplusNotInitialized;
        return;
    }
    if (!name) {
        lastResult = InvalidParameter;
        return;
    }
    const std::u16string wanted(name);
    std::shared_ptr<const FontFace> face;
    if (fontCollection) {
        if (const GpFontCollection* collection = fontCollection->nativeFontCollection)
            for (const auto& candidate : collection->faces)
                if (sameName(candidate->familyName(), wanted)) {
                    face = candidate;
                    break;
                }
    } else {
        face = findInstalledFamily(wanted);
    }
    nativeFamily = familyOf(std::move(face));
    lastResult = nativeFamily ? Ok : FontFamilyNotFound;
}

FontFamily::FontFamily(GpFontFamily* family, Status status) : nativeFamily(family) { lastResult = status; }

FontFamily::~FontFamily() { delete nativeFamily; }

const FontFamily* FontFamily::GenericSansSerif()
{
    // As in the Windows header: one object for the whole process. It is
    // resolved on the first call made while the layer runs, and keeps its
    // face (and FreeType) alive until the process or the module ends.
    static std::mutex mutex;
    static FontFamily family;
    const std::lock_guard lock(mutex);
    if (!family.nativeFamily && gdiplusRunning()) {
        family.nativeFamily = familyOf(findGenericSansSerif());
        family.lastResult = family.nativeFamily ? Ok : FontFamilyNotFound;
    } else if (!family.nativeFamily) {
        family.lastResult = GdiplusNotInitialized;
    }
    return &family;
}

Status FontFamily::GetFamilyName(WCHAR name[LF_FACESIZE], LANGID) const
{
    if (!name || !nativeFamily)
        return SetStatus(InvalidParameter);
    const std::u16string& familyName = nativeFamily->face->familyName();
    const std::size_t count = std::min<std::size_t>(familyName.size(), LF_FACESIZE - 1);
    std::copy_n(familyName.begin(), count, name);
    name[count] = 0;
    return Ok;
}

FontFamily* FontFamily::Clone() const
{
    GpFontFamily* clone = nativeFamily ? new GpFontFamily(*nativeFamily) : nullptr;
    return new FontFamily(clone, clone ? Ok : InvalidParameter);
}

// FontCollection ----------------------------------------------------------------

FontCollection::FontCollection() = default;

FontCollection::~FontCollection() { delete nativeFontCollection; }

INT FontCollection::GetFamilyCount() const
{
    if (!nativeFontCollection)
        return 0;
    std::vector<std::u16string> names;
    for (const auto& face : nativeFontCollection->faces)
        if (std::none_of(names.begin(), names.end(), [&](const auto& n) { return sameName(n, face->familyName()); }))
            names.push_back(face->familyName());
    return INT(names.size());
}

Status FontCollection::GetFamilies(INT numSought, FontFamily* families, INT* numFound) const
{
    if (numSought <= 0 || !families || !numFound)
        return SetStatus(InvalidParameter);
    *numFound = 0;
    if (!nativeFontCollection)
        return SetStatus(WrongState);
    // One family per name: a collection may hold several faces of a family.
    std::vector<std::u16string> listed;
    for (const auto& face : nativeFontCollection->faces) {
        if (*numFound >= numSought)
            break;
        if (std::any_of(listed.begin(), listed.end(), [&](const auto& n) { return sameName(n, face->familyName()); }))
            continue;
        listed.push_back(face->familyName());
        FontFamily& target = families[*numFound];
        delete target.nativeFamily;
        target.nativeFamily = familyOf(face);
        target.lastResult = Ok;
        ++*numFound;
    }
    return Ok;
}

// PrivateFontCollection -------------------------------------------------------------

PrivateFontCollection::PrivateFontCollection()
{
    if (!gdiplusRunning()) {
        lastResult = GdiplusNotInitialized;
        return;
    }
    nativeFontCollection = new GpFontCollection;
}

PrivateFontCollection::~PrivateFontCollection() = default;

Status PrivateFontCollection::AddMemoryFont(const VOID* memory, INT length)
{
    if (!memory || length <= 0)
        return SetStatus(InvalidParameter);
    if (!nativeFontCollection)
        return SetStatus(WrongState);
    std::vector<std::shared_ptr<const FontFace>> faces = loadFacesFromMemory(memory, std::size_t(length));
    if (faces.empty())
        return SetStatus(FileNotFound);
    for (auto& face : faces)
        nativeFontCollection->faces.push_back(std::move(face));
    return Ok;
}

// Font ------------------------------------------------------------------------------

namespace {

GpFont* createFont(const GpFontFamily* family, REAL emSize, INT style, Unit unit, Status& status)
{
    if (!gdiplusRunning()) {
        status = GdiplusNotInitialized;
        return nullptr;
    }
    if (!family || !(emSize > 0) || pixelsPerUnit(unit) == 0) {
        status = InvalidParameter;
        return nullptr;
    }
    // The views draw regular text; bold, italic, underlined and struck-out
    // faces are left to the system's GDI+.
    if (style != FontStyleRegular) {
        status = NotImplemented;
        return nullptr;
    }
    auto* font = new GpFont;
    font->face = family->face;
    font->emSize = emSize;
    font->unit = unit;
    status = Ok;
    return font;
}

} // namespace

Font::Font(const FontFamily* family, REAL emSize, INT style, Unit unit)
{
    nativeFont = createFont(family ? family->nativeFamily : nullptr, emSize, style, unit, lastResult);
}

Font::Font(const WCHAR* familyName, REAL emSize, INT style, Unit unit, const FontCollection* fontCollection)
{
    // As on Windows, a family that cannot be found gives the generic
    // sans-serif family.
    const FontFamily family(familyName, fontCollection);
    const FontFamily* chosen = family.IsAvailable() ? &family : FontFamily::GenericSansSerif();
    nativeFont = createFont(chosen->nativeFamily, emSize, style, unit, lastResult);
}

Font::~Font() { delete nativeFont; }

REAL Font::GetSize() const { return nativeFont ? nativeFont->emSize : 0; }

} // namespace Gdiplus
