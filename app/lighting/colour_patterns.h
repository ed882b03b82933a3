// The music mode's colour patterns: 64 × 256 tables filled from a pattern type, a brightness
// and the moving hue.
#pragma once

#include <array>
#include <cstdint>

namespace vantrel {

inline constexpr int kImageRows = 64;
inline constexpr int kImageColumns = 256;
using ColourImage = std::array<std::array<uint32_t, kImageColumns>, kImageRows>;

// Integer HSV: hue in degrees, saturation and value 0 to 255; 0x00BBGGRR.
uint32_t HsvToColour(int hue, int saturation, int value);

// Fills `image` with pattern `type` (0 to 20) at `brightness` percent; `hue` moves types 15 to 20.
void PaintPattern(int type, int brightness, double hue, ColourImage& image);

} // namespace vantrel
