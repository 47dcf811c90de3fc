#include "framework/resource_cache.h"

#include "foundation/scrambled_text.h"
#include "platform/platform_services.h"

#include <stdexcept>
#include <utility>

namespace vantle::vst {

ResourceCache::ResourceCache(Loader assetLoader) : loader(std::move(assetLoader)) {}

std::string ResourceCache::fallbackImageName() { return VANTLE_TEXT("fallback.png"); }

std::shared_ptr<Gdiplus::FontFamily> ResourceCache::getFont(const std::string& name)
{
    if (const auto found = fonts.find(name); found != fonts.end())
        return found->second.family;
    FontEntry& entry = fonts[name];
    const std::vector<std::uint8_t> bytes = loader(name);
    auto collection = std::make_shared<Gdiplus::PrivateFontCollection>();
    if (bytes.empty() ||
        collection->AddMemoryFont(bytes.data(), static_cast<INT>(bytes.size())) != Gdiplus::Ok)
        return nullptr;
    auto family = std::make_shared<Gdiplus::FontFamily>();
    INT found = 0;
    if (collection->GetFamilies(1, family.get(), &found) != Gdiplus::Ok || found < 1)
        return nullptr;
    entry = {std::move(collection), std::move(family)};
    return entry.family;
}

std::shared_ptr<Gdiplus::Bitmap> ResourceCache::loadImage(const std::string& name)
{
    const std::vector<std::uint8_t> bytes = loader(name);
    return std::shared_ptr<Gdiplus::Bitmap>(decodeImage(bytes));
}

std::shared_ptr<Gdiplus::Bitmap> ResourceCache::getImage(const std::string& name)
{
    if (const auto found = images.find(name); found != images.end())
        return found->second;
    std::shared_ptr<Gdiplus::Bitmap> image = loadImage(name);
    if (!image) {
        if (!fallbackLoaded) {
            fallbackLoaded = true;
            fallbackImage = loadImage(fallbackImageName());
        }
        image = fallbackImage;
    }
    images[name] = image;
    return image;
}

std::unique_ptr<Gdiplus::Bitmap> ResourceCache::decodeImage(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.empty())
        return nullptr;
    const std::unique_ptr<Gdiplus::Image> image = platform::decodeImageFromMemory(bytes.data(), bytes.size());
    const INT width = image ? static_cast<INT>(image->GetWidth()) : 0;
    const INT height = image ? static_cast<INT>(image->GetHeight()) : 0;
    if (width <= 0 || height <= 0)
        throw std::runtime_error(VANTLE_TEXT("image cannot be decoded"));
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
    if (bitmap->GetLastStatus() != Gdiplus::Ok)
        throw std::runtime_error(VANTLE_TEXT("image cannot be decoded"));
    {
        Gdiplus::Graphics graphics(bitmap.get());
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
        graphics.DrawImage(image.get(), 0, 0, width, height);
    }
    return bitmap;
}

} // namespace vantle::vst
