#pragma once
// Fonts and images of one open editor, loaded by name and kept while the
// editor is open.

#include <gdiplus.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vantle::vst {

class ResourceCache {
public:
    using Loader = std::function<std::vector<std::uint8_t>(const std::string&)>;

    explicit ResourceCache(Loader assetLoader);

    // The family of the font asset, or empty; a name that failed once is not
    // tried again.
    std::shared_ptr<Gdiplus::FontFamily> getFont(const std::string& name);
    // The image asset as a premultiplied bitmap; the fallback image when the
    // asset is missing (shared by every missing name), empty when that is
    // missing too. Throws when the asset exists but cannot be decoded.
    std::shared_ptr<Gdiplus::Bitmap> getImage(const std::string& name);

    // A new 32-bit premultiplied bitmap of the image, or null for no bytes;
    // throws std::runtime_error when the bytes cannot be decoded.
    static std::unique_ptr<Gdiplus::Bitmap> decodeImage(const std::vector<std::uint8_t>& bytes);

    static std::string fallbackImageName();

private:
    struct FontEntry {
        std::shared_ptr<Gdiplus::PrivateFontCollection> collection;
        std::shared_ptr<Gdiplus::FontFamily> family;
    };

    std::shared_ptr<Gdiplus::Bitmap> loadImage(const std::string& name);

    Loader loader;
    std::map<std::string, std::shared_ptr<Gdiplus::Bitmap>> images;
    std::shared_ptr<Gdiplus::Bitmap> fallbackImage;
    bool fallbackLoaded = false;
    std::map<std::string, FontEntry> fonts;
};

} // namespace vantle::vst
