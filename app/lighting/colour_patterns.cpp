#include "app/lighting/colour_patterns.h"

#include <cmath>
#include <vector>

namespace vantrel {
namespace {

constexpr double kPi = 3.14; // the rainbow's own constant: its colours depend on it
constexpr double kPhase = 2.0933335;

uint32_t Rgb(int r, int g, int b) {
    return static_cast<uint32_t>(r & 0xFF) | static_cast<uint32_t>(g & 0xFF) << 8 | static_cast<uint32_t>(b & 0xFF) << 16;
}

uint32_t Scaled(uint32_t c, int v) {
    const int r = static_cast<int>(c & 0xFF) * v / 256;
    const int g = static_cast<int>((c >> 8) & 0xFF) * v / 256;
    const int b = static_cast<int>((c >> 16) & 0xFF) * v / 256;
    return Rgb(r, g, b);
}

void Fill(ColourImage& image, uint32_t c) {
    for (auto& row : image) row.fill(c);
}

uint32_t Rainbow(int x, double hue, int v) {
    const double a = std::fmod(static_cast<int>(x * 1.4117647 - hue), 360) / 360.0 * 2 * kPi;
    auto channel = [&](double phase) { return v * static_cast<int>((std::sin(a + phase) + 1) * 127) / 256; };
    return Rgb(channel(0), channel(-kPhase), channel(kPhase));
}

} // namespace

uint32_t HsvToColour(int hue, int s, int v) {
    if (s == 0) return Rgb(v, v, v);
    const int h = ((hue % 360) + 360) % 360;
    const int k = h / 60;
    const int low = v * (256 - s) / 256;
    // Falling mirrors rising: full at the start of an odd sector, low at its end. (Counting up
    // from 60 × (k + 1) − h instead would run past 255.)
    const int falling = v * (15360 - s * (h - 60 * k)) / 15360; // odd sectors
    const int rising = v * (s * (h - 60 * k - 60) + 15360) / 15360;   // even sectors
    switch (k) {
    case 0: return Rgb(v, rising, low);
    case 1: return Rgb(falling, v, low);
    case 2: return Rgb(low, v, rising);
    case 3: return Rgb(low, falling, v);
    case 4: return Rgb(rising, low, v);
    default: return Rgb(v, low, falling);
    }
}

void PaintPattern(int type, int brightness, double hue, ColourImage& image) {
    const int v = static_cast<int>(brightness * 2.55);
    static const uint32_t kSolid[] = {0x000000, 0xFFFFFF, 0x0000FF, 0x0040FF, 0x00FFFF,
                                      0x00FF00, 0xFFFF00, 0xFF0000, 0xFF0040};
    static const std::vector<uint32_t> kSteps[] = {
        {0x00FF00, 0x00FFFF, 0x0000FF},
        {0x00FF00, 0xFFFFFF, 0x0000FF},
        {0xFF0000, 0xFFFF00, 0xFFFFFF},
        {0x0000FF, 0xFFFFFF, 0xFF0000},
        {0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF},
        {0xFF00FF, 0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF},
    };
    if (type >= 0 && type <= 8) {
        Fill(image, Scaled(kSolid[type], v));
    } else if (type >= 9 && type <= 14) {
        const std::vector<uint32_t>& list = kSteps[type - 9];
        const double n = static_cast<double>(list.size());
        for (int y = 1; y < kImageRows; ++y) {
            size_t entry = static_cast<size_t>(n - n / 63 * y);
            if (entry >= list.size()) entry = list.size() - 1;
            image[static_cast<size_t>(y)].fill(Scaled(list[entry], v));
        }
    } else if (type == 15) {
        for (int x = 0; x < kImageColumns; ++x) {
            const uint32_t c = Rainbow(x, hue, v);
            for (auto& row : image) row[static_cast<size_t>(x)] = c;
        }
    } else if (type == 16) {
        for (int x = 0; x < kImageColumns; ++x) {
            const uint32_t c = HsvToColour((256 - x + static_cast<int>(hue)) % 360, 255, v);
            for (auto& row : image) row[static_cast<size_t>(x)] = c;
        }
    } else if (type == 17 || type == 18) {
        // The angles around the centre never change: computed once, only the hue moves.
        static const auto kAngles = [] {
            std::array<std::array<std::array<int16_t, kImageColumns>, kImageRows>, 2> angles{};
            for (int t = 0; t < 2; ++t) {
                const int centre = t == 0 ? 32 : 64;
                for (int y = 0; y < kImageRows; ++y)
                    for (int x = 0; x < kImageColumns; ++x) {
                        const double degrees = std::atan2(y - centre, x - 128) * 180.0 / M_PI;
                        angles[static_cast<size_t>(t)][static_cast<size_t>(y)][static_cast<size_t>(x)] =
                            static_cast<int16_t>(static_cast<int>(degrees + 180) % 360);
                    }
            }
            return angles;
        }();
        const auto& angles = kAngles[type == 17 ? 0 : 1];
        const int shift = static_cast<int>(hue);
        for (int y = 0; y < kImageRows; ++y)
            for (int x = 0; x < kImageColumns; ++x)
                image[static_cast<size_t>(y)][static_cast<size_t>(x)] =
                    HsvToColour(angles[static_cast<size_t>(y)][static_cast<size_t>(x)] + shift, 255, v);
    } else if (type == 19) {
        Fill(image, HsvToColour(static_cast<int>(hue), 255, v));
    } else if (type == 20) {
        Fill(image, Rainbow(1, hue, v));
    }
}

} // namespace vantrel
