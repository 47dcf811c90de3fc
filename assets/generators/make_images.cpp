// Build step: draws the knob face and the fallback image as PNG files.
// usage: tarvel_make_images <knob-face.png> <fallback.png>

#include "png_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <vector>

namespace {

// A dark machined knob cap seen from above: fine concentric turning marks,
// the two bright lobes a turned metal surface shows under a light from the
// upper left, light falling off towards the bottom, and a bevelled rim that
// catches the light on top. Fully opaque; the knob clips it to a circle.
std::vector<std::uint8_t> knobFace(int size)
{
    std::vector<std::uint8_t> rgba;
    const double centre = (size - 1) / 2.0;
    const double pi = 3.14159265358979323846;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double dx = (x - centre) / centre, dy = (y - centre) / centre;
            const double radius = std::min(1.0, std::sqrt(dx * dx + dy * dy));
            const double angle = std::atan2(dy, dx);
            const double lobes = std::pow(0.5 + 0.5 * std::cos(2 * (angle + 3 * pi / 4)), 4.0);
            const double turning = 2.5 * std::sin(radius * 260.0) + 1.5 * std::sin(radius * 97.0);
            double level = 52 + 46 * lobes * (0.35 + 0.65 * radius) + turning - 16 * dy;
            // The rim: a narrow bevel, bright where it faces the light.
            const double rim = std::clamp((radius - 0.88) / 0.12, 0.0, 1.0);
            level = level * (1 - rim) + (70 - 48 * dy - 22 * dx) * rim;
            level = std::clamp(level, 0.0, 255.0);
            const auto v = static_cast<std::uint8_t>(level);
            rgba.insert(rgba.end(), {v, static_cast<std::uint8_t>(std::min(255.0, level + 2)),
                                     static_cast<std::uint8_t>(std::min(255.0, level + 6)), 255});
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
