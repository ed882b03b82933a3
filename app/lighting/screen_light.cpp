#include "app/lighting/screen_light.h"

#include <algorithm>

namespace vantrel {
namespace {

uint32_t ToBgr(uint32_t rgb) {
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

} // namespace

void ScreenLight::Start(int columns, int rows) {
    if (columns <= 0 || rows <= 0) return;
    columns_ = columns;
    rows_ = rows;
    if (started_) return;
    started_ = true;
    CThreadBasic::Start(std::chrono::milliseconds(0));
}

bool ScreenLight::SampleScreen() {
    int width = 0, height = 0;
    if (!source_ || !source_->Capture(&width, &height, &pixels_) || width <= 0 || height <= 0 ||
        pixels_.size() < static_cast<size_t>(width) * static_cast<size_t>(height))
        return false;
    // The whole screen scaled to 480 × 270 by picking pixels, then to 18 × 6 by averaging blocks.
    static thread_local std::vector<uint32_t> medium(kMediumWidth * kMediumHeight);
    for (int y = 0; y < kMediumHeight; ++y) {
        const size_t sy = static_cast<size_t>(y) * static_cast<size_t>(height) / kMediumHeight;
        for (int x = 0; x < kMediumWidth; ++x) {
            const size_t sx = static_cast<size_t>(x) * static_cast<size_t>(width) / kMediumWidth;
            medium[static_cast<size_t>(y * kMediumWidth + x)] = pixels_[sy * static_cast<size_t>(width) + sx];
        }
    }
    uint32_t small[kSmallWidth * kSmallHeight];
    for (int j = 0; j < kSmallWidth; ++j)
        for (int i = 0; i < kSmallHeight; ++i) {
            const int x0 = j * kMediumWidth / kSmallWidth, x1 = (j + 1) * kMediumWidth / kSmallWidth;
            const int y0 = i * kMediumHeight / kSmallHeight, y1 = (i + 1) * kMediumHeight / kSmallHeight;
            uint64_t r = 0, g = 0, b = 0, n = 0;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) {
                    const uint32_t p = medium[static_cast<size_t>(y * kMediumWidth + x)];
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                    ++n;
                }
            small[i * kSmallWidth + j] = static_cast<uint32_t>((r / n) << 16 | (g / n) << 8 | (b / n));
        }
    // Cells beyond the small picture repeat the last colour read, starting from black.
    uint32_t last = 0;
    const int columns = std::min(columns_.load(), kGridColumns), rows = std::min(rows_.load(), kGridRows);
    for (int j = 0; j < columns; ++j)
        for (int i = 0; i < rows; ++i) {
            if (j < kSmallWidth && i < kSmallHeight) last = ToBgr(small[i * kSmallWidth + j]);
            grid_[static_cast<size_t>(j * kGridRows + i)] = last;
        }
    return true;
}

uint32_t ScreenLight::Cell(int column, int row) const {
    if (column < 0 || column >= kGridColumns || row < 0 || row >= kGridRows) return 0;
    return grid_[static_cast<size_t>(column * kGridRows + row)];
}

void ScreenLight::Run() {
    while (SleepFor(std::chrono::milliseconds(0))) {
        if (!active_) {
            if (!SleepFor(std::chrono::milliseconds(1000))) return;
            continue;
        }
        // A failed pass (no display) waits before trying again rather than spinning.
        if (!SampleScreen() && !SleepFor(std::chrono::milliseconds(1000))) return;
    }
}

} // namespace vantrel
