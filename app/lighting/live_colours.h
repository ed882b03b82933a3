// Live colours: in the music and screen modes the device worker, while idle, samples the
// colours for every key, shows them on the on-screen keyboard and streams them to a family-A
// keyboard on a cable as live frames.
#pragma once

#include "app/device/hid_device_list.h"
#include "app/device/key_layout.h"

#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace vantrel {

class Visualizer;
class ScreenLight;

// Image rows and columns sampled for the key grid's rows and columns.
struct GridSampling {
    std::vector<int> rows;    // yrow[i] = i × q + 2 + int(q × 0.5), q = 62 / rows
    std::vector<int> columns; // xcol[j] = j × (255 / cols)
};
GridSampling ComputeGridSampling(int rowCount, int colCount);

class LiveColours {
public:
    // `showKey` colours a key of the on-screen keyboard (may be empty).
    explicit LiveColours(HidDeviceList& link) : link_(link) {}

    // One idle pass; `screen` mode when the selected mode has bit 0x400, else the music image.
    // Returns the keys' colours in grid order.
    std::vector<std::pair<int, uint32_t>> Stream(const KeyLayout& layout, const GridSampling& sampling, bool screenMode,
                                                 const Visualizer* visualizer, const ScreenLight* screen,
                                                 int connectionKind,
                                                 const std::function<void(int, uint32_t)>& showKey = {});
    // Six 0xF1 chunks on the streaming interface, after the one-time stream start.
    void SendLiveFrame(const std::vector<std::pair<int, uint32_t>>& keyColours, const std::map<int, int>& lightPosition);
    bool StreamStarted() const { return started_; }

private:
    HidDeviceList& link_;
    bool started_ = false; // the stream start goes out once per run
};

} // namespace vantrel
