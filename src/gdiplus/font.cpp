#include "gdiplus_font.h"
#include "private_font_files.h"

#include <vector>

namespace Gdiplus {

using namespace DllExports;

// FontFamily ------------------------------------------------------------------

FontFamily::FontFamily() = default;

FontFamily::FontFamily(const WCHAR* name, const FontCollection* fontCollection)
{
    lastResult = GdipCreateFontFamilyFromName(name, fontCollection ? fontCollection->nativeFontCollection : nullptr,
                                              &nativeFamily);
    if (lastResult != Ok)
        nativeFamily = nullptr;
}

FontFamily::FontFamily(GpFontFamily* family, Status status) : nativeFamily(family), lastResult(status) {}

FontFamily::~FontFamily()
{
    if (nativeFamily)
        GdipDeleteFontFamily(nativeFamily);
}

const FontFamily* FontFamily::GenericSansSerif()
{
    // Like the Windows header, the generic family is created once and never
    // deleted, so the pointer stays valid for the whole process.
    static const FontFamily* const family = [] {
        GpFontFamily* native = nullptr;
        const Status status = GdipGetGenericFontFamilySansSerif(&native);
        GpFontFamily* clone = nullptr;
        if (status == Ok && native && GdipCloneFontFamily(native, &clone) == Ok)
            return new FontFamily(clone, Ok);
        return new FontFamily(nullptr, status == Ok ? GenericError : status);
    }();
    return family;
}

Status FontFamily::GetFamilyName(WCHAR name[LF_FACESIZE], LANGID language) const
{
    return SetStatus(GdipGetFamilyName(nativeFamily, name, language));
}

FontFamily* FontFamily::Clone() const
{
    GpFontFamily* clone = nullptr;
    const Status status = nativeFamily ? GdipCloneFontFamily(nativeFamily, &clone) : InvalidParameter;
    return new FontFamily(status == Ok ? clone : nullptr, status);
}

Status FontFamily::GetLastStatus() const
{
    const Status status = lastResult;
    lastResult = Ok;
    return status;
}

Status FontFamily::SetStatus(Status status) const
{
    if (status != Ok)
        lastResult = status;
    return status;
}

// FontCollection ----------------------------------------------------------------

FontCollection::FontCollection() = default;

FontCollection::~FontCollection() = default;

INT FontCollection::GetFamilyCount() const
{
    INT count = 0;
    if (nativeFontCollection)
        SetStatus(GdipGetFontCollectionFamilyCount(nativeFontCollection, &count));
    return count;
}

Status FontCollection::GetFamilies(INT numSought, FontFamily* families, INT* numFound) const
{
    if (numSought <= 0 || !families || !numFound)
        return SetStatus(InvalidParameter);
    *numFound = 0;
    if (!nativeFontCollection)
        return SetStatus(WrongState);
    std::vector<GpFontFamily*> natives(static_cast<size_t>(numSought), nullptr);
    INT found = 0;
    const Status status = GdipGetFontCollectionFamilyList(nativeFontCollection, numSought, natives.data(), &found);
    if (status != Ok)
        return SetStatus(status);
    // The families of libgdiplus's private collections do not draw; the same
    // family created by name from the fontconfig-registered file does.
    for (INT i = 0; i < found; ++i) {
        WCHAR name[LF_FACESIZE] = {};
        FontFamily& target = families[*numFound];
        if (GdipGetFamilyName(natives[static_cast<size_t>(i)], name, LANG_NEUTRAL) != Ok)
            continue;
        GpFontFamily* byName = nullptr;
        if (GdipCreateFontFamilyFromName(name, nullptr, &byName) != Ok || !byName)
            continue;
        if (target.nativeFamily)
            GdipDeleteFontFamily(target.nativeFamily);
        target.nativeFamily = byName;
        target.lastResult = Ok;
        ++*numFound;
    }
    return Ok;
}

Status FontCollection::GetLastStatus() const
{
    const Status status = lastResult;
    lastResult = Ok;
    return status;
}

Status FontCollection::SetStatus(Status status) const
{
    if (status != Ok)
        lastResult = status;
    return status;
}

// PrivateFontCollection -------------------------------------------------------------

PrivateFontCollection::PrivateFontCollection()
{
    lastResult = GdipNewPrivateFontCollection(&nativeFontCollection);
    if (lastResult != Ok)
        nativeFontCollection = nullptr;
}

PrivateFontCollection::~PrivateFontCollection()
{
    if (nativeFontCollection)
        GdipDeletePrivateFontCollection(&nativeFontCollection);
}

Status PrivateFontCollection::AddMemoryFont(const VOID* memory, INT length)
{
    if (!memory || length <= 0)
        return SetStatus(InvalidParameter);
    if (!nativeFontCollection)
        return SetStatus(WrongState);
    const Status status = GdipPrivateAddMemoryFont(nativeFontCollection, memory, length);
    if (status != Ok)
        return SetStatus(status);
    if (!detail::registerPrivateFontFile(memory, static_cast<size_t>(length)))
        return SetStatus(FileNotFound);
    return Ok;
}

// Font ------------------------------------------------------------------------------

Font::Font(const FontFamily* family, REAL emSize, INT style, Unit unit)
{
    lastResult = family && family->nativeFamily ? GdipCreateFont(family->nativeFamily, emSize, style, unit, &nativeFont)
                                                : InvalidParameter;
    if (lastResult != Ok)
        nativeFont = nullptr;
}

Font::Font(const WCHAR* familyName, REAL emSize, INT style, Unit unit, const FontCollection* fontCollection)
{
    const FontFamily family(familyName, fontCollection);
    lastResult = family.IsAvailable() ? GdipCreateFont(family.nativeFamily, emSize, style, unit, &nativeFont)
                                      : family.GetLastStatus();
    if (lastResult != Ok)
        nativeFont = nullptr;
}

Font::~Font()
{
    if (nativeFont)
        GdipDeleteFont(nativeFont);
}

REAL Font::GetSize() const
{
    REAL size = 0;
    if (nativeFont)
        SetStatus(GdipGetFontSize(nativeFont, &size));
    return size;
}

Status Font::GetLastStatus() const
{
    const Status status = lastResult;
    lastResult = Ok;
    return status;
}

Status Font::SetStatus(Status status) const
{
    if (status != Ok)
        lastResult = status;
    return status;
}

} // namespace Gdiplus
