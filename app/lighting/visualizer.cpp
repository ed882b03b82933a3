#include "app/lighting/visualizer.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>

namespace vantrel {

// FFTW's plan with its buffers; plans are made once, so nothing is allocated per frame.
struct Visualizer::Fft {
    Fft() {
        in = fftwf_alloc_real(kWindow);
        out = fftwf_alloc_complex(kWindow / 2 + 1);
        plan = fftwf_plan_dft_r2c_1d(kWindow, in, out, FFTW_ESTIMATE);
    }
    ~Fft() {
        fftwf_destroy_plan(plan);
        fftwf_free(in);
        fftwf_free(out);
    }
    float* in;
    fftwf_complex* out;
    fftwf_plan plan;
};

namespace {

// FFTW's planner is not thread-safe; plans are made under one lock.
std::mutex& PlannerLock() {
    static std::mutex lock;
    return lock;
}

} // namespace

Visualizer::Visualizer(AudioSource* source) : source_(source) {
    for (int i = 0; i < kBands; ++i) {
        const double x = 2 * M_PI * i / 256;
        hann_[static_cast<size_t>(i)] = static_cast<float>(0.5 * (1 - std::cos(x)));
        hamming_[static_cast<size_t>(i)] = static_cast<float>(0.54 - 0.46 * std::cos(x));
        blackman_[static_cast<size_t>(i)] = static_cast<float>(0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2 * x));
        tilt_[static_cast<size_t>(i)] = static_cast<float>(i / 256.0 * 0.5 + 0.04);
    }
    std::lock_guard lock(PlannerLock());
    fft_ = std::make_unique<Fft>();
}

Visualizer::~Visualizer() {
    Join();
    std::lock_guard lock(PlannerLock());
    fft_.reset();
}

void Visualizer::PushSample(float sample) {
    // The window moves down by two values and the sample fills the last two.
    std::copy(window_.begin() + 2, window_.end(), window_.begin());
    window_[kWindow - 2] = window_[kWindow - 1] = sample;
}

void Visualizer::Frame() {
    for (float& b : bands_) b *= static_cast<float>(decay_) / 100.0f;

    if (source_) {
        captured_.clear();
        const bool capturing = source_->ReadFloat(&captured_);
        const auto now = std::chrono::steady_clock::now();
        if (!captured_.empty()) lastSound_ = now;
        // A loopback delivers nothing while nothing plays, and nothing without a device: after a
        // moment without sound the window is silence, so the bands decay instead of freezing.
        if (now - lastSound_ > kSilenceAfter) window_.fill(0);
        if (capturing) {
            // Of a buffer of F stereo frames, ceil(F / 4) samples, each the mean of four values.
            const size_t frames = captured_.size() / 2;
            const size_t samples = (frames + 3) / 4;
            for (size_t k = 0; k < samples; ++k) {
                float sum = 0;
                for (size_t v = 4 * k; v < 4 * k + 4 && v < captured_.size(); ++v) sum += captured_[v];
                PushSample(sum / 4 * 2 * static_cast<float>(gain_));
            }
        }
    }

    const int windowType = windowType_;
    const std::array<float, kBands>* table = windowType == 1 ? &hann_ : windowType == 2 ? &hamming_
                                            : windowType == 3 ? &blackman_ : nullptr;
    for (int i = 0; i < kWindow; ++i)
        fft_->in[i] = window_[static_cast<size_t>(i)] * (table && i < kBands ? (*table)[static_cast<size_t>(i)] : 1.0f);
    fftwf_execute(fft_->plan);
    // Packed layout: zero-frequency and Nyquist terms first, then real and imaginary of bins 1 to 255.
    std::array<float, kWindow> packed;
    packed[0] = fft_->out[0][0];
    packed[1] = fft_->out[kWindow / 2][0];
    for (int bin = 1; bin < kWindow / 2; ++bin) {
        packed[static_cast<size_t>(2 * bin)] = fft_->out[bin][0];
        packed[static_cast<size_t>(2 * bin + 1)] = fft_->out[bin][1];
    }
    packed[0] = packed[2];
    for (int i = 0; i < kBands; ++i) packed[static_cast<size_t>(i)] *= tilt_[static_cast<size_t>(i)];

    for (int k = 0; k < 64; ++k) {
        const float re = packed[static_cast<size_t>(2 * k)], im = packed[static_cast<size_t>(2 * k + 1)];
        const float m = std::sqrt(re * re + im * im);
        const float level = std::min(1.0f, 0.5f * std::log10(1.1f * m) + 0.9f * m);
        float& band = bands_[static_cast<size_t>(4 * k)];
        band = std::max(band, level);
        band = std::max(band, 0.0f);
        for (int j = 1; j < 4; ++j) bands_[static_cast<size_t>(4 * k + j)] = band;
    }
    Smooth();
    for (int k = 0; k < kBands; ++k)
        display_[static_cast<size_t>(k)] += (bands_[static_cast<size_t>(k)] - display_[static_cast<size_t>(k)]) * displayFactor_;
}

void Visualizer::Smooth() {
    const int r = smoothingRadius_;
    const int method = smoothingMethod_;
    if (r <= 0 || 2 * r >= kBands) return;
    auto mean = [&](int from, int to) { // inclusive, from <= to
        float sum = 0;
        for (int i = from; i <= to; ++i) sum += bands_[static_cast<size_t>(i)];
        return sum / static_cast<float>(to - from + 1);
    };
    if (method == 1) {
        std::array<float, kBands> head{}, tail{};
        for (int i = 0; i < r; ++i) {
            head[static_cast<size_t>(i)] = mean(0, i + r);
            tail[static_cast<size_t>(i)] = mean(255 - i - r, 255);
        }
        for (int i = 0; i < r; ++i) {
            bands_[static_cast<size_t>(i)] = head[static_cast<size_t>(i)];
            bands_[static_cast<size_t>(255 - i)] = tail[static_cast<size_t>(i)];
        }
        for (int i = r; i < 255 - r; ++i) bands_[static_cast<size_t>(i)] = mean(i - r, i + r);
    } else {
        const float first = mean(0, r - 1), last = mean(255 - r + 1, 255);
        for (int i = 0; i < r; ++i) bands_[static_cast<size_t>(i)] = first;
        for (int i = 255 - r + 1; i <= 255; ++i) bands_[static_cast<size_t>(i)] = last;
        for (int i = 0; i < kBands - r; i += r) {
            const float m = mean(i, i + r - 1);
            for (int j = i; j < i + r; ++j) bands_[static_cast<size_t>(j)] = m;
        }
    }
}

void Visualizer::Step() {
    Frame();
    if (hue_ >= 360) hue_ = 0;
    if (hue_ < 0) hue_ = 360;
    PaintPattern(background_, backgroundBrightness_, hue_, backgroundImage_);
    PaintPattern(foreground_, 100, hue_, foregroundImage_);
    int backIndex;
    {
        std::lock_guard lock(imageMutex_);
        backIndex = 1 - front_;
    }
    ColourImage& back = images_[static_cast<size_t>(backIndex)];
    for (int y = 0; y < kImageRows; ++y)
        for (int x = 0; x < kImageColumns; ++x)
            back[static_cast<size_t>(y)][static_cast<size_t>(x)] =
                display_[static_cast<size_t>(x)] > static_cast<float>(64 - y) / 64 ? foregroundImage_[static_cast<size_t>(y)][static_cast<size_t>(x)]
                                                                                   : backgroundImage_[static_cast<size_t>(y)][static_cast<size_t>(x)];
    {
        std::lock_guard lock(imageMutex_);
        front_ = backIndex;
    }
    hue_ += hueStep_ / 100.0;
}

std::vector<uint32_t> Visualizer::SampleFront(const std::vector<std::pair<int, int>>& cells) const {
    std::vector<uint32_t> colours;
    colours.reserve(cells.size());
    std::lock_guard lock(imageMutex_);
    const ColourImage& front = images_[static_cast<size_t>(front_)];
    for (const auto& [row, column] : cells)
        colours.push_back(row < 0 || row >= kImageRows || column < 0 || column >= kImageColumns
                              ? 0
                              : front[static_cast<size_t>(row)][static_cast<size_t>(column)]);
    return colours;
}

void Visualizer::Run() {
    // Looping here rather than through the base period: an inactive analysis checks twice a second.
    while (SleepFor(std::chrono::milliseconds(0))) {
        if (!active_) {
            if (!SleepFor(std::chrono::milliseconds(500))) return;
            continue;
        }
        Step();
        if (!SleepFor(kFramePeriod)) return;
    }
}

} // namespace vantrel
