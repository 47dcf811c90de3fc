#include "views/pointer_glow.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vantle::vst {

namespace {

// One channel of a row or column: count samples `stride` floats apart.
void boxAverage(float* samples, int count, std::ptrdiff_t stride, int radius, std::vector<float>& scratch)
{
    scratch.resize(std::size_t(count));
    for (int i = 0; i < count; ++i)
        scratch[std::size_t(i)] = samples[i * stride];
    const double scale = 1.0 / (2.0 * radius + 1.0);
    double sum = 0;
    for (int i = 0; i < std::min(radius, count); ++i)
        sum += double(scratch[std::size_t(i)]);
    for (int i = 0; i < count; ++i) {
        const int entering = i + radius;
        const int leaving = i - radius - 1;
        if (entering < count)
            sum += double(scratch[std::size_t(entering)]);
        if (leaving >= 0)
            sum -= double(scratch[std::size_t(leaving)]);
        samples[i * stride] = float(sum * scale);
    }
}

} // namespace

std::unique_ptr<Gdiplus::Bitmap> makeGlow(Gdiplus::Bitmap& source, int radius, float gain, int passes)
{
    radius = std::max(radius, 0);
    const int width = int(source.GetWidth());
    const int height = int(source.GetHeight());
    if (width <= 0 || height <= 0)
        return nullptr;

    Gdiplus::Bitmap copy(width, height, PixelFormat32bppPARGB);
    {
        Gdiplus::Graphics graphics(&copy);
        graphics.Clear(Gdiplus::Color(0));
        graphics.DrawImage(&source, 0, 0, width, height);
    }
    const Gdiplus::Rect whole(0, 0, width, height);
    Gdiplus::BitmapData data{};
    if (copy.LockBits(&whole, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return nullptr;
    const std::size_t rowFloats = std::size_t(width) * 4;
    std::vector<float> pixels(rowFloats * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(data.Scan0) + std::ptrdiff_t(y) * data.Stride;
        for (std::size_t i = 0; i < rowFloats; ++i)
            pixels[std::size_t(y) * rowFloats + i] = float(row[i]) * 0.003921569f;
    }
    copy.UnlockBits(&data);

    std::vector<float> scratch;
    for (int pass = 0; pass < passes; ++pass) {
        for (int x = 0; x < width; ++x)
            for (int channel = 0; channel < 4; ++channel)
                boxAverage(&pixels[std::size_t(x) * 4 + std::size_t(channel)], height, std::ptrdiff_t(rowFloats),
                           radius, scratch);
        for (int y = 0; y < height; ++y)
            for (int channel = 0; channel < 4; ++channel)
                boxAverage(&pixels[std::size_t(y) * rowFloats + std::size_t(channel)], width, 4, radius, scratch);
    }

    auto glow = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
    if (glow->GetLastStatus() != Gdiplus::Ok ||
        glow->LockBits(&whole, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return nullptr;
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<std::uint8_t*>(data.Scan0) + std::ptrdiff_t(y) * data.Stride;
        for (std::size_t i = 0; i < rowFloats; ++i) {
            const float level = std::clamp(pixels[std::size_t(y) * rowFloats + i] * gain, 0.0f, 1.0f);
            row[i] = std::uint8_t(level * 255.0f);
        }
    }
    glow->UnlockBits(&data);
    return glow;
}

} // namespace vantle::vst
