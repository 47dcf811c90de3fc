// Installed families by name, found through fontconfig; each file's face is
// opened once and kept until the layer stops.
#include "freetype_face.h"

#include "foundation/utf8.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <string>

namespace Gdiplus {

namespace {

struct InstalledFaces {
    std::mutex mutex;
    // By file and face index, so that asking for a family again does not
    // open its file again.
    std::map<std::string, std::shared_ptr<const FontFace>> faces;
};

// Made when the module is loaded, not at the first lookup: stopping the
// layer may run from a host's exit handlers, after whatever was made once the
// host had loaded the module is gone already.
InstalledFaces installedFaces;

// A family name asked for as fontconfig wants it; an unpaired surrogate
// cannot name a family and becomes U+FFFD, which matches none.
std::string utf8Name(std::u16string_view name)
{
    std::string out;
    for (std::size_t at = 0; at < name.size();) {
        const vantle::Utf16Sequence sequence = vantle::decodeUtf16(name, at);
        at += sequence.length;
        char bytes[4];
        out.append(bytes, vantle::toUtf8(sequence.valid ? sequence.codePoint : vantle::replacementCharacter, bytes));
    }
    return out;
}

std::shared_ptr<const FontFace> matchInstalled(const std::string& family, bool exactName)
{
    const std::shared_ptr<FreeTypeLibrary> library = currentFreeTypeLibrary();
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
    InstalledFaces& installed = installedFaces;
    {
        const std::lock_guard lock(installed.mutex);
        if (const auto found = installed.faces.find(key); found != installed.faces.end())
            return found->second;
    }
    std::shared_ptr<const FontFace> face = openFace(library, nullptr, path.c_str(), index);
    if (face) {
        // Kept only while its library is the current one: stopping swaps the
        // library out before it forgets the faces, under this lock.
        const std::lock_guard lock(installed.mutex);
        if (currentFreeTypeLibrary() == library)
            installed.faces.emplace(key, face);
    }
    return face;
}

} // namespace

std::shared_ptr<const FontFace> findInstalledFamily(const std::u16string& name)
{
    return name.empty() ? nullptr : matchInstalled(utf8Name(name), true);
}

std::shared_ptr<const FontFace> findGenericSansSerif() { return matchInstalled("sans-serif", false); }

void forgetInstalledFaces()
{
    std::map<std::string, std::shared_ptr<const FontFace>> forgotten;
    {
        InstalledFaces& installed = installedFaces;
        const std::lock_guard lock(installed.mutex);
        forgotten.swap(installed.faces);
    }
    // Released outside the lock: destroying a face takes FreeType's lock.
}

} // namespace Gdiplus
