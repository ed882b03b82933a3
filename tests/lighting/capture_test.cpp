// The music and screen modes against real components: a PulseAudio server with a null sink
// (scripts/test starts one) and an X server (Xvfb).
#include "app/core/device_worker.h"
#include "app/lighting/light_payloads.h"
#include "app/lighting/live_colours.h"
#include "app/lighting/pulse_capture.h"
#include "app/lighting/screen_light.h"
#include "app/lighting/visualizer.h"
#include "tests/support/key_bench.h"
#include "tests/support/x11_blocks.h"

#include <gtest/gtest.h>
#include <cstdio>
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
            pa_simple* s = pa_simple_new(nullptr, "vantrel-test", PA_STREAM_PLAYBACK, nullptr, "tone", &spec, nullptr,
                                         nullptr, nullptr);
            if (!s) return;
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

bool WaitForSink(const PulseCapture& capture) {
    for (int i = 0; i < 100 && capture.Sink().empty(); ++i) std::this_thread::sleep_for(20ms);
    return !capture.Sink().empty();
}

TEST(MusicCapture, AToneRaisesItsBandsAndSilenceDecays) {
    PulseCapture capture(PulseCapture::Format::kFloat32Stereo);
    if (!WaitForSink(capture)) GTEST_SKIP() << "no PulseAudio server (scripts/test starts one)";
    Visualizer v(&capture);
    {
        // Quiet: the music mode's gain of 270 makes ordinary levels fill every band.
        TonePlayer tone(1000, 0.001f);
        for (int i = 0; i < 80; ++i) {
            v.Frame();
            std::this_thread::sleep_for(15ms);
        }
    }
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

    struct Window : WorkerWindow {
        void EnableWindow(bool) override {}
        bool IsWindowVisible() const override { return true; }
        void EndWaitDialog() override {}
    } window;
    struct Actions : DeviceTaskActions {
        std::function<void()> stream, light;
        void StreamLiveFrame() override { stream(); }
        void ApplyLight(KeyboardFamily) override { light(); }
    } actions;
    std::atomic<int> lights{0};
    actions.stream = [&] { live.Stream(layout, sampling, false, &visualizer, nullptr, 0); };
    actions.light = [&] { ++lights; };
    WorkerState state;
    state.deviceFound = state.modePresent = true;
    state.deviceType = 100;
    state.currentPage = kLightingPage;
    state.lightCapabilities = kMusicMode;
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

} // namespace
} // namespace vantrel
