// Build step: draws the knob face and the fallback image as PNG files.
// usage: tarvel_make_images <knob-face.png> <fallback.png>

#include "png_writer.h"

#include <cmath>
#include <cstdint>
#include <iostream>
#include <vector>

namespace {

// Brushed metal: concentric rings of slowly varying brightness with a soft
// highlight towards the upper left, fully opaque.
std::vector<std::uint8_t> knobFace(int size)
{
    std::vector<std::uint8_t> rgba;
    const double centre = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double dx = x - centre, dy = y - centre;
            const double radius = std::sqrt(dx * dx + dy * dy) / centre;
            const double rings = 0.5 + 0.5 * std::sin(radius * 90.0 + std::sin(radius * 13.0) * 2.0);
            const double highlight = std::max(0.0, 1.0 - std::hypot(dx + centre * 0.45, dy + centre * 0.45) / size);
            const double level = 70 + 25 * rings + 90 * highlight;
            const auto v = static_cast<std::uint8_t>(std::min(255.0, level));
            rgba.insert(rgba.end(), {v, v, static_cast<std::uint8_t>(std::min(255.0, level + 6)), 255});
        }
    return rgba;
}

// Grey and magenta squares: obviously a stand-in wherever it shows.
std::vector<std::uint8_t> fallback(int size)
{
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const bool odd = ((x / 4) + (y / 4)) % 2;
            rgba.insert(rgba.end(), {std::uint8_t(odd ? 255 : 96), std::uint8_t(odd ? 0 : 96),
                                     std::uint8_t(odd ? 255 : 96), 255});
        }
    return rgba;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: tarvel_make_images <knob-face.png> <fallback.png>\n";
        return 2;
    }
    const int faceSize = 128;
    const int fallbackSize = 8;
    const bool ok = tarvel::png::writeRgba(argv[1], faceSize, faceSize, knobFace(faceSize)) &&
                    tarvel::png::writeRgba(argv[2], fallbackSize, fallbackSize, fallback(fallbackSize));
    return ok ? 0 : 1;
}
