#include "app/lighting/live_colours.h"

#include "app/lighting/light_payloads.h"
#include "app/lighting/screen_light.h"
#include "app/lighting/visualizer.h"

#include <array>
#include <cstring>
#include <thread>

namespace vantrel {
namespace {

constexpr std::chrono::milliseconds kChunkPause{1};
constexpr size_t kLightPositions = 110;

} // namespace

GridSampling ComputeGridSampling(int rowCount, int colCount) {
    GridSampling s;
    if (rowCount > 0) {
        const int q = 62 / rowCount;
        for (int i = 0; i < rowCount; ++i) s.rows.push_back(i * q + 2 + static_cast<int>(q * 0.5));
    }
    if (colCount > 0)
        for (int j = 0; j < colCount; ++j) s.columns.push_back(j * (255 / colCount));
    return s;
}

std::vector<std::pair<int, uint32_t>> LiveColours::Stream(const KeyLayout& layout, const GridSampling& sampling,
                                                           bool screenMode, const Visualizer* visualizer,
                                                           const ScreenLight* screen, int connectionKind,
                                                           const std::function<void(int, uint32_t)>& showKey) {
    std::vector<std::pair<int, int>> cells; // image cells of the keys, in grid order
    std::vector<std::pair<int, int>> gridCells;
    std::vector<int> codes;
    const int rows = std::min<int>(layout.rowCount, std::min<int>(kGridRows, static_cast<int>(sampling.rows.size())));
    const int cols = std::min<int>(layout.colCount, std::min<int>(kGridColumns, static_cast<int>(sampling.columns.size())));
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            const uint8_t code = layout.grid[static_cast<size_t>(i)][static_cast<size_t>(j)];
            if (code == kEmptyGridCell) continue;
            codes.push_back(code);
            cells.emplace_back(sampling.rows[static_cast<size_t>(i)], sampling.columns[static_cast<size_t>(j)]);
            gridCells.emplace_back(i, j);
        }
    std::vector<uint32_t> colours(codes.size(), 0);
    if (screenMode && screen) {
        for (size_t k = 0; k < codes.size(); ++k) colours[k] = screen->Cell(gridCells[k].second, gridCells[k].first);
    } else if (visualizer) {
        colours = visualizer->SampleFront(cells);
    }
    std::vector<std::pair<int, uint32_t>> keys;
    bool lit = false;
    for (size_t k = 0; k < codes.size(); ++k) {
        keys.emplace_back(codes[k], colours[k]);
        if (showKey) showKey(codes[k], colours[k]);
        lit = lit || colours[k] >= 2;
    }
    if (lit && connectionKind == 0) SendLiveFrame(keys, layout.lightPosition);
    return keys;
}

void LiveColours::SendLiveFrame(const std::vector<std::pair<int, uint32_t>>& keyColours,
                                const std::map<int, int>& lightPosition) {
    std::array<uint8_t, 600> frame{};
    for (const auto& [code, colour] : keyColours) {
        auto p = lightPosition.find(code);
        if (p == lightPosition.end() || p->second < 0 || static_cast<size_t>(p->second) >= kLightPositions) continue;
        uint8_t* at = &frame[3 * static_cast<size_t>(p->second)];
        at[0] = Red(static_cast<int>(colour));
        at[1] = Green(static_cast<int>(colour));
        at[2] = Blue(static_cast<int>(colour));
    }
    if (!started_) {
        OutputReport start{0x00, 0xF0, 0xF4, 0x01};
        link_.WriteOutput65(start.data());
        started_ = true;
    }
    for (size_t i = 0; i < 6; ++i) {
        OutputReport chunk{0x00, 0xF1, static_cast<uint8_t>(i == 5 ? 30 : 60), static_cast<uint8_t>((60 * i) & 0xFF),
                           static_cast<uint8_t>((60 * i) >> 8)};
        std::memcpy(chunk.data() + 5, frame.data() + 60 * i, 60);
        std::this_thread::sleep_for(kChunkPause);
        if (!link_.WriteStreamOutput65(chunk.data())) return; // no streaming interface
    }
}

} // namespace vantrel
