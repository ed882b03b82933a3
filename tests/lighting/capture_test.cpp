// The music and screen modes against real components: a PulseAudio server with a null sink
// (scripts/test starts one) and an X server (Xvfb).
#include "app/core/device_worker.h"
#include "app/lighting/level_capture.h"
#include "app/lighting/light_payloads.h"
#include "app/lighting/live_colours.h"
#include "app/lighting/pulse_capture.h"
#include "app/lighting/screen_light.h"
#include "app/lighting/visualizer.h"
#include "tests/support/key_bench.h"
#include "tests/support/worker_doubles.h"
#include "tests/support/x11_blocks.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <pulse/error.h>
#include <pulse/simple.h>

#include <atomic>
#include <cmath>
#include <thread>

namespace vantrel {
namespace {

using namespace vantrel::testing;
using namespace std::chrono_literals;

// Plays a sine into the default sink until stopped.
class TonePlayer {
public:
    TonePlayer(double hz, float amplitude) {
        thread_ = std::thread([this, hz, amplitude] {
            pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, 48000, 2};
            int error = 0;
            pa_simple* s = pa_simple_new(nullptr, "vantrel-test", PA_STREAM_PLAYBACK, nullptr, "tone", &spec, nullptr,
                                         nullptr, &error);
            if (!s) {
                std::fprintf(stderr, "cannot play the tone: %s\n", pa_strerror(error));
                return;
            }
            std::vector<float> block(2 * 480);
            size_t t = 0;
            while (!stop_) {
                for (size_t i = 0; i < 480; ++i, ++t)
                    block[2 * i] = block[2 * i + 1] = amplitude * static_cast<float>(std::sin(2 * M_PI * hz * t / 48000));
                pa_simple_write(s, block.data(), block.size() * sizeof(float), nullptr);
            }
            pa_simple_free(s);
        });
    }
    ~TonePlayer() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Counts what passes through, to tell a silent capture from a silent analysis.
class Counting : public AudioSource {
public:
    explicit Counting(AudioSource& inner) : inner_(inner) {}
    bool ReadFloat(std::vector<float>* v) override {
        const size_t before = v->size();
        const bool ok = inner_.ReadFloat(v);
        for (size_t i = before; i < v->size(); ++i) loudest = std::max(loudest, std::fabs((*v)[i]));
        values += v->size() - before;
        return ok;
    }
    bool ReadS16(std::vector<int16_t>* v) override { return inner_.ReadS16(v); }
    size_t values = 0;
    float loudest = 0;

private:
    AudioSource& inner_;
};

// Waits until the capture delivers sound (the stream may take a moment to start).
bool WaitForSound(PulseCapture& capture) {
    std::vector<float> sound;
    for (int i = 0; i < 150; ++i) {
        sound.clear();
        capture.ReadFloat(&sound);
        for (float f : sound)
            if (f != 0) return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

bool WaitForSink(const PulseCapture& capture) {
    for (int i = 0; i < 100 && capture.Sink().empty(); ++i) std::this_thread::sleep_for(20ms);
    return !capture.Sink().empty();
}

TEST(MusicCapture, AToneRaisesItsBandsAndSilenceDecays) {
    PulseCapture capture(PulseCapture::Format::kFloat32Stereo);
    if (!WaitForSink(capture)) GTEST_SKIP() << "no PulseAudio server (scripts/test starts one)";
    Counting counting(capture);
    Visualizer v(&counting);
    {
        // Quiet: the music mode's gain of 270 makes ordinary levels fill every band.
        TonePlayer tone(1000, 0.001f);
        ASSERT_TRUE(WaitForSound(capture)) << "the tone never reached the capture";
        for (int i = 0; i < 80; ++i) {
            v.Frame();
            std::this_thread::sleep_for(15ms);
        }
    }
    EXPECT_GT(counting.values, 48000u); // about a second of stereo sound came through
    EXPECT_NEAR(counting.loudest, 0.001f, 0.0002f);
    // 1 kHz lands near band 4 × 1000 / (48000 / 512) ≈ 43 (each captured sample fills two values);
    // the bands far above it stay lower.
    auto mean = [&](int from, int to) {
        float sum = 0;
        for (int k = from; k <= to; ++k) sum += v.Band(k);
        return sum / static_cast<float>(to - from + 1);
    };
    const float nearTone = mean(32, 56), far = mean(160, 255);
    EXPECT_GT(nearTone, 0.2f);
    EXPECT_GT(nearTone, 2 * far);
    // Silence: nothing more is captured and the bands fall away.
    for (int i = 0; i < 30; ++i) {
        v.Frame();
        std::this_thread::sleep_for(15ms);
    }
    EXPECT_LT(mean(0, 255), 0.05f * nearTone);
}

TEST(MusicCapture, FollowsANewDefaultSink) {
    PulseCapture capture(PulseCapture::Format::kS16Stereo);
    if (!WaitForSink(capture)) GTEST_SKIP() << "no PulseAudio server";
    const std::string before = capture.Sink();
    std::FILE* load = ::popen("pactl load-module module-null-sink sink_name=vantrel_second", "r");
    ASSERT_NE(load, nullptr);
    int module = -1;
    ASSERT_EQ(std::fscanf(load, "%d", &module), 1);
    ::pclose(load);
    ASSERT_EQ(std::system("pactl set-default-sink vantrel_second"), 0);
    for (int i = 0; i < 100 && capture.Sink() == before; ++i) std::this_thread::sleep_for(20ms);
    EXPECT_EQ(capture.Sink(), "vantrel_second");
    EXPECT_GE(capture.Reopens(), 2);
    std::system(("pactl set-default-sink " + before + " && pactl unload-module " + std::to_string(module)).c_str());
    for (int i = 0; i < 100 && capture.Sink() != before; ++i) std::this_thread::sleep_for(20ms);
    EXPECT_EQ(capture.Sink(), before);
}

TEST(ScreenCapture, TheGridShowsTheScreensColours) {
    auto window = ShowColourBlocks(0x0000FF, 0xFF0000); // red left half, blue right half (0x00BBGGRR)
    if (!window) GTEST_SKIP() << "no X display (scripts/test starts Xvfb)";
    auto source = MakeX11ScreenSource();
    ScreenLight light(source.get());
    light.Start(18, 6);
    ASSERT_TRUE(light.SampleScreen());
    EXPECT_EQ(light.Cell(1, 2), 0x0000FFu);
    EXPECT_EQ(light.Cell(16, 4), 0xFF0000u);
}

// Music mode on a family-A keyboard on cable: live frames at 55 a second or more while a tone
// plays, and a light change queued meanwhile still runs.
TEST(MusicCapture, WorkerStreamsLiveFramesAndStillRunsTasks) {
    PulseCapture capture(PulseCapture::Format::kFloat32Stereo);
    if (!WaitForSink(capture)) GTEST_SKIP() << "no PulseAudio server";
    KeyRig rig(KeyboardFamily::kA);
    KeyLayout layout;
    layout.rowCount = 6;
    layout.colCount = 20;
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 20; ++j) {
            const int code = 4 + i * 16 + j % 16;
            layout.grid[static_cast<size_t>(i)][static_cast<size_t>(j)] = static_cast<uint8_t>(code);
            layout.lightPosition[code] = (code - 4) % 110;
        }
    const GridSampling sampling = ComputeGridSampling(6, 20);
    Visualizer visualizer(&capture);
    visualizer.SetForeground(15);
    visualizer.SetBackground(1, 20); // a dim white background: every frame has lit keys
    visualizer.SetActive(true);
    visualizer.Start();
    LiveColours live(rig.link_);

    VisibleWindow window;
    FunctionActions actions;
    std::atomic<int> lights{0};
    actions.stream = [&] { live.Stream(layout, sampling, false, &visualizer, nullptr, 0); };
    actions.light = [&] { ++lights; };
    WorkerState state;
    ShowLiveMode(state, kMusicMode);
    DeviceTaskQueue queue;
    DeviceWorker worker(queue, state, window, actions);

    TonePlayer tone(440, 0.01f);
    std::this_thread::sleep_for(300ms);
    worker.Start();
    std::this_thread::sleep_for(200ms);
    const int before = rig.Keyboard([](SimKeyboard& k) { return k.A().liveFrames; });
    std::this_thread::sleep_for(2500ms);
    queue.Queue(kApplyLight);
    std::this_thread::sleep_for(2500ms);
    const int after = rig.Keyboard([](SimKeyboard& k) { return k.A().liveFrames; });
    worker.Stop();
    visualizer.Stop();
    EXPECT_GE((after - before) / 5.0, 55.0) << "frames a second";
    EXPECT_EQ(lights.load(), 1);
    rig.Keyboard([](SimKeyboard& k) {
        // Every frame complete: six chunks with offsets 0, 60, …, 300 in order.
        size_t expected = 0;
        for (const SimReport& r : k.Reports()) {
            if (r.interfaceNumber != 3) continue;
            EXPECT_EQ(r.bytes[3] | r.bytes[4] << 8, static_cast<int>(60 * expected));
            expected = (expected + 1) % 6;
        }
    });
}

// Every thread of the lighting at once for ten seconds (the ThreadSanitizer run checks them):
// analysis, level capture, screen sampling, worker streaming, and a UI thread changing settings.
TEST(MusicCapture, AllLightingThreadsTogether) {
    PulseCapture music(PulseCapture::Format::kFloat32Stereo), levels(PulseCapture::Format::kS16Stereo);
    if (!WaitForSink(music)) GTEST_SKIP() << "no PulseAudio server";
    KeyRig rig(KeyboardFamily::kA);
    KeyLayout layout;
    layout.rowCount = 2;
    layout.colCount = 4;
    for (int j = 0; j < 4; ++j) {
        layout.grid[0][static_cast<size_t>(j)] = static_cast<uint8_t>(4 + j);
        layout.grid[1][static_cast<size_t>(j)] = static_cast<uint8_t>(8 + j);
    }
    for (int c = 4; c < 12; ++c) layout.lightPosition[c] = c - 4;
    const GridSampling sampling = ComputeGridSampling(2, 4);

    class Blocks : public ScreenSource {
    public:
        bool Capture(int* w, int* h, std::vector<uint32_t>* pixels) override {
            *w = 64;
            *h = 36;
            pixels->assign(64 * 36, 0x123456);
            return true;
        }
    } blocks;
    Visualizer visualizer(&music);
    visualizer.SetActive(true);
    ScreenLight screen(&blocks);
    screen.SetActive(true);
    MusicLevelSettings settings;
    std::atomic<int> levelReports{0};
    LevelCapture level(&levels, settings, [] { return true; }, [&](const FeatureReport& r) {
        rig.link_.SendFeature8(r.data()); // family A ignores it; the transport is what is shared
        ++levelReports;
    });
    LiveColours live(rig.link_);
    std::atomic<bool> screenMode{false};
    VisibleWindow window;
    FunctionActions actions;
    std::atomic<int> lights{0};
    actions.stream = [&] { live.Stream(layout, sampling, screenMode, &visualizer, &screen, 0); };
    actions.light = [&] { ++lights; };
    WorkerState state;
    ShowLiveMode(state, kMusicMode);
    DeviceTaskQueue queue;
    DeviceWorker worker(queue, state, window, actions);

    TonePlayer tone(440, 0.01f);
    visualizer.Start();
    screen.Start(4, 2);
    level.Start();
    worker.Start();
    const auto end = std::chrono::steady_clock::now() + 10s;
    int changes = 0;
    while (std::chrono::steady_clock::now() < end) { // the UI thread
        visualizer.SetForeground(changes % 21);
        visualizer.SetBackground(changes % 9, 50);
        settings.gainSlider = changes % 200;
        screenMode = changes % 2 == 0;
        state.lightCapabilities = screenMode ? kScreenMode : kMusicMode;
        if (changes % 10 == 0) queue.Queue(kApplyLight);
        ++changes;
        std::this_thread::sleep_for(50ms);
    }
    worker.Stop();
    level.Stop();
    screen.Stop();
    visualizer.Stop();
    EXPECT_GT(rig.Keyboard([](SimKeyboard& k) { return k.A().liveFrames; }), 100);
    EXPECT_GT(levelReports.load(), 100);
    EXPECT_GE(lights.load(), 15);
}

} // namespace
} // namespace vantrel
