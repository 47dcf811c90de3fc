#pragma once
#include "gdiplus_native.h"

namespace Gdiplus {

class FontCollection;

class FontFamily : public LastStatus {
public:
    FontFamily();
    FontFamily(const WCHAR* name, const FontCollection* fontCollection = nullptr);
    ~FontFamily();
    FontFamily(const FontFamily&) = delete;
    FontFamily& operator=(const FontFamily&) = delete;

    static const FontFamily* GenericSansSerif();

    Status GetFamilyName(WCHAR name[LF_FACESIZE], LANGID language = 0) const;
    FontFamily* Clone() const;
    BOOL IsAvailable() const { return nativeFamily != nullptr; }

protected:
    friend class Font;
    friend class FontCollection;
    FontFamily(GpFontFamily* family, Status status);

    GpFontFamily* nativeFamily = nullptr;
};

class FontCollection : public LastStatus {
public:
    FontCollection();
    virtual ~FontCollection();
    FontCollection(const FontCollection&) = delete;
    FontCollection& operator=(const FontCollection&) = delete;

    INT GetFamilyCount() const;
    // Fills families (an array of default-constructed FontFamily objects)
    // with up to numSought families of the collection.
    Status GetFamilies(INT numSought, FontFamily* families, INT* numFound) const;

protected:
    friend class FontFamily;

    GpFontCollection* nativeFontCollection = nullptr;
};

// Fonts added from memory are copied and opened by FreeType from the copy:
// nothing is written to disk or registered with fontconfig, so the fonts
// stay private to the collection, and the caller's bytes may go at once.
class PrivateFontCollection : public FontCollection {
public:
    PrivateFontCollection();
    ~PrivateFontCollection() override;

    Status AddMemoryFont(const VOID* memory, INT length);
};

class Font : public LastStatus {
public:
    Font(const FontFamily* family, REAL emSize, INT style = FontStyleRegular, Unit unit = UnitPoint);
    Font(const WCHAR* familyName, REAL emSize, INT style = FontStyleRegular, Unit unit = UnitPoint,
         const FontCollection* fontCollection = nullptr);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    REAL GetSize() const;
    BOOL IsAvailable() const { return nativeFont != nullptr; }

protected:
    friend class Graphics;

    GpFont* nativeFont = nullptr;
};

} // namespace Gdiplus
