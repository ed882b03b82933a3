// The family-B music pipeline: every capture period one level byte goes to the keyboard, with
// an effect and a colour number; the keyboard animates itself.
#pragma once

#include "app/core/thread_basic.h"
#include "app/device/hid_device_list.h"
#include "app/lighting/audio_source.h"
#include "app/lighting/light_payloads.h"

#include <atomic>
#include <functional>
#include <vector>

namespace vantrel {

struct MusicLevelSettings {
    std::atomic<int> effect{1};        // 1 or 2
    std::atomic<int> gainSlider{50};   // gain = position / 50.0
    std::atomic<int> periodMs{33};     // 33, 66 or 99
    std::atomic<int> colour{0};        // 0 to 6
};

// The level of a packet: the magnitude of its sample at count − 10, high byte; 0 without one.
int PacketLevel(const std::vector<int16_t>& samples);
uint8_t LevelValue(int level, double gain);
FeatureReport MusicLevelReport(int effect, int colour, uint8_t value);

class LevelCapture final : public CThreadBasic {
public:
    // `enabled` tells whether the light page shows a music mode; `send` gets each level report.
    LevelCapture(AudioSource* source, MusicLevelSettings& settings, std::function<bool()> enabled,
                 std::function<void(const FeatureReport&)> send);
    ~LevelCapture() override { Join(); }
    bool Start() { return CThreadBasic::Start(std::chrono::milliseconds(0)); }
    // One poll: read the packet, send its level when enabled.
    void Poll();

protected:
    void Run() override;

private:
    AudioSource* source_;
    MusicLevelSettings& settings_;
    std::function<bool()> enabled_;
    std::function<void(const FeatureReport&)> send_;
    std::vector<int16_t> samples_;
};

} // namespace vantrel
