// Visualizer: the family-A music pipeline. Captures the playback signal, computes a 256-band
// spectrum about every 15 ms and paints a 64 × 256 colour image from it; the device worker reads
// the front image while the analysis paints the back one.
#pragma once

#include "app/lighting/audio_source.h"
#include "app/lighting/colour_patterns.h"
#include "app/core/thread_basic.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace vantrel {

class Visualizer final : public CThreadBasic {
public:
    static constexpr int kBands = 256;
    static constexpr int kWindow = 512;
    static constexpr std::chrono::milliseconds kFramePeriod{15};

    explicit Visualizer(AudioSource* source);
    ~Visualizer() override;

    // Starts the analysis thread; frames are computed only while active.
    bool Start() { return CThreadBasic::Start(std::chrono::milliseconds(0)); }
    void SetActive(bool active) { active_ = active; }
    bool Active() const { return active_; }

    // One analysis step: decay, capture, window, FFT, levels, smoothing.
    void Frame();
    // Frame, then the patterns and the output image, then the exchange (what the thread does).
    void Step();

    // Settings (UI thread); the caller makes the analysis inactive around a change.
    void SetGain(int gain) { gain_ = gain; }
    void SetForeground(int type) { foreground_ = type; }
    int Gain() const { return gain_; }
    int Foreground() const { return foreground_; }
    int Background() const { return background_; }
    int BackgroundBrightness() const { return backgroundBrightness_; }
    void SetBackground(int type, int brightness) {
        background_ = type;
        backgroundBrightness_ = brightness;
    }
    void SetWindowType(int type) { windowType_ = type; }
    void SetSmoothing(int method, int radius) {
        smoothingMethod_ = method;
        smoothingRadius_ = radius;
    }

    // The front image's cells at (row, column) positions; safe while the analysis runs.
    std::vector<uint32_t> SampleFront(const std::vector<std::pair<int, int>>& cells) const;
    uint32_t FrontCell(int row, int column) const { return SampleFront({{row, column}}).front(); }
    float Band(int k) const { return bands_[static_cast<size_t>(k)]; }
    float DisplayValue(int k) const { return display_[static_cast<size_t>(k)]; }
    // Appends a sample as the capture does (tests feed the window directly through this).
    void PushSample(float sample);

protected:
    void Run() override;

private:
    void Smooth();

    AudioSource* source_;
    std::array<float, kBands> bands_{};
    std::array<float, kBands> display_{};
    std::array<float, kWindow> window_{};
    std::array<float, kBands> hann_, hamming_, blackman_, tilt_;
    // Settings are written by the UI thread while the analysis may run.
    std::atomic<int> gain_{270};
    int decay_ = 80;
    std::atomic<int> windowType_{1};
    std::atomic<int> smoothingMethod_{1};
    std::atomic<int> smoothingRadius_{8};
    float displayFactor_ = 1.0f;
    double hue_ = 0;
    int hueStep_ = 500;
    std::atomic<int> foreground_{15}, background_{0}, backgroundBrightness_{100};
    std::atomic<bool> active_{false};

    struct Fft;
    std::unique_ptr<Fft> fft_;
    std::vector<float> captured_;
    static constexpr std::chrono::milliseconds kSilenceAfter{100};
    std::chrono::steady_clock::time_point lastSound_{};
    ColourImage foregroundImage_{}, backgroundImage_{};
    // The worker reads the front image under this lock and the exchange takes it too, so the
    // analysis never paints an image while it is being read.
    mutable std::mutex imageMutex_;
    std::array<ColourImage, 2> images_{};
    int front_ = 0;
};

} // namespace vantrel
