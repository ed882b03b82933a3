#include "app/lighting/level_capture.h"

#include <algorithm>
#include <cstdlib>

namespace vantrel {

int PacketLevel(const std::vector<int16_t>& samples) {
    if (samples.size() < 10) return 0;
    const int s = samples[samples.size() - 10];
    return static_cast<int>(static_cast<uint16_t>(std::abs(s)) >> 8);
}

uint8_t LevelValue(int level, double gain) {
    return static_cast<uint8_t>(std::min(255, static_cast<int>(level * gain)));
}

FeatureReport MusicLevelReport(int effect, int colour, uint8_t value) {
    return FeatureReport{0x07, 0x23, 0x45, 0x67, 0x89, static_cast<uint8_t>(effect), static_cast<uint8_t>(colour), value};
}

LevelCapture::LevelCapture(AudioSource* source, MusicLevelSettings& settings, std::function<bool()> enabled,
                           std::function<void(const FeatureReport&)> send)
    : source_(source), settings_(settings), enabled_(std::move(enabled)), send_(std::move(send)) {}

void LevelCapture::Poll() {
    samples_.clear();
    const bool captured = source_ && source_->ReadS16(&samples_);
    if (!enabled_ || !enabled_()) return;
    const int level = captured ? PacketLevel(samples_) : 0;
    send_(MusicLevelReport(settings_.effect, settings_.colour, LevelValue(level, settings_.gainSlider / 50.0)));
}

void LevelCapture::Run() {
    while (SleepFor(std::chrono::milliseconds(0))) {
        Poll();
        if (!SleepFor(std::chrono::milliseconds(settings_.periodMs.load()))) return;
    }
}

} // namespace vantrel
