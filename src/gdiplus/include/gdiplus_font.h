#pragma once
#include "gdiplus_flat.h"

#include <string>

namespace Gdiplus {

class FontCollection;

class FontFamily {
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
    Status GetLastStatus() const;

protected:
    friend class Font;
    friend class FontCollection;
    FontFamily(GpFontFamily* family, Status status);
    Status SetStatus(Status status) const;

    GpFontFamily* nativeFamily = nullptr;
    mutable Status lastResult = Ok;
};

class FontCollection {
public:
    FontCollection();
    virtual ~FontCollection();
    FontCollection(const FontCollection&) = delete;
    FontCollection& operator=(const FontCollection&) = delete;

    INT GetFamilyCount() const;
    // Fills families (an array of default-constructed FontFamily objects)
    // with up to numSought families of the collection.
    Status GetFamilies(INT numSought, FontFamily* families, INT* numFound) const;
    Status GetLastStatus() const;

protected:
    friend class FontFamily;
    Status SetStatus(Status status) const;

    GpFontCollection* nativeFontCollection = nullptr;
    mutable Status lastResult = Ok;
};

// On libgdiplus a font added from memory resolves but draws empty boxes, so
// each added font is written to a private file and registered with
// fontconfig, and the collection hands out the families by name from the
// installed fonts, which draw correctly.
class PrivateFontCollection : public FontCollection {
public:
    PrivateFontCollection();
    ~PrivateFontCollection() override;

    Status AddMemoryFont(const VOID* memory, INT length);

private:
    std::u16string familyName;
};

class Font {
public:
    Font(const FontFamily* family, REAL emSize, INT style = FontStyleRegular, Unit unit = UnitPoint);
    Font(const WCHAR* familyName, REAL emSize, INT style = FontStyleRegular, Unit unit = UnitPoint,
         const FontCollection* fontCollection = nullptr);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    REAL GetSize() const;
    BOOL IsAvailable() const { return nativeFont != nullptr; }
    Status GetLastStatus() const;

protected:
    friend class Graphics;
    Status SetStatus(Status status) const;

    GpFont* nativeFont = nullptr;
    mutable Status lastResult = Ok;
};

} // namespace Gdiplus
