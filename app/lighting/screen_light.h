// ScreenLight: samples the desktop on its own thread into a colour grid, one colour per
// key-grid cell, for the screen colour mode.
#pragma once

#include "app/core/thread_basic.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace vantrel {

// The primary screen's pixels.
class ScreenSource {
public:
    virtual ~ScreenSource() = default;
    // 0x00RRGGBB pixels row by row; false when the screen cannot be read.
    virtual bool Capture(int* width, int* height, std::vector<uint32_t>* pixels) = 0;
};

// The X11 root window, through MIT-SHM when the server offers it, else XGetImage. Without a
// display every capture fails and costs nothing.
std::unique_ptr<ScreenSource> MakeX11ScreenSource();

class ScreenLight final : public CThreadBasic {
public:
    static constexpr int kGridColumns = 32;
    static constexpr int kGridRows = 8;
    static constexpr int kSmallWidth = 18, kSmallHeight = 6;
    static constexpr int kMediumWidth = 480, kMediumHeight = 270;

    explicit ScreenLight(ScreenSource* source) : source_(source) {}
    ~ScreenLight() override { Join(); }

    // Stores the grid size and starts the thread once; later calls only update the size.
    void Start(int columns, int rows);
    void SetActive(bool active) { active_ = active; }
    // One pass: screen to 480 × 270 to 18 × 6, then the grid cells.
    bool SampleScreen();
    // Colour of grid cell (column, row), 0x00BBGGRR.
    uint32_t Cell(int column, int row) const;

protected:
    void Run() override;

private:
    ScreenSource* source_;
    std::atomic<int> columns_{0}, rows_{0};
    std::atomic<bool> active_{false};
    bool started_ = false;
    std::array<std::atomic<uint32_t>, kGridColumns * kGridRows> grid_{};
    std::vector<uint32_t> pixels_;
};

} // namespace vantrel
