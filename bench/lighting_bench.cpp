// The music and screen modes' costs: one analysis frame, the slowest pattern, one screen pass,
// and the process's CPU use while the worker streams music mode at full rate.
#include "app/core/device_worker.h"
#include "app/lighting/colour_patterns.h"
#include "app/lighting/light_payloads.h"
#include "app/lighting/live_colours.h"
#include "app/lighting/screen_light.h"
#include "app/lighting/visualizer.h"
#include "tests/support/key_bench.h"
#include "tests/support/worker_doubles.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>

namespace {

using namespace vantrel;
using namespace vantrel::testing;

// Ten milliseconds of a 440 Hz stereo tone per read, as a capture delivers it.
class ToneSource : public AudioSource {
public:
    bool ReadFloat(std::vector<float>* stereo) override {
        for (int i = 0; i < 480; ++i, ++t_) {
            const float s = 0.01f * static_cast<float>(std::sin(2 * M_PI * 440 * t_ / 48000));
            stereo->push_back(s);
            stereo->push_back(s);
        }
        return true;
    }
    bool ReadS16(std::vector<int16_t>*) override { return false; }

private:
    size_t t_ = 0;
};

class FullHdScreen : public ScreenSource {
public:
    bool Capture(int* width, int* height, std::vector<uint32_t>* pixels) override {
        *width = 1920;
        *height = 1080;
        pixels->resize(1920 * 1080);
        for (size_t i = 0; i < pixels->size(); ++i) (*pixels)[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
        return true;
    }
};

void BM_Frame(benchmark::State& state) {
    ToneSource tone;
    Visualizer v(&tone);
    for (auto _ : state) v.Frame();
}
BENCHMARK(BM_Frame)->Unit(benchmark::kMicrosecond);

void BM_PaintPatternHueWheel(benchmark::State& state) {
    ColourImage image;
    double hue = 0;
    for (auto _ : state) {
        PaintPattern(17, 100, hue, image);
        hue += 5;
        benchmark::DoNotOptimize(image[10][10]);
    }
}
BENCHMARK(BM_PaintPatternHueWheel)->Unit(benchmark::kMicrosecond);

void BM_SampleScreen(benchmark::State& state) {
    FullHdScreen screen;
    ScreenLight light(&screen);
    light.Start(21, 6);
    light.SetActive(false);
    for (auto _ : state) benchmark::DoNotOptimize(light.SampleScreen());
}
BENCHMARK(BM_SampleScreen)->Unit(benchmark::kMillisecond);

// Analysis thread, worker and simulated keyboard together for three seconds.
void BM_MusicStreamingCpu(benchmark::State& state) {
    for (auto _ : state) {
        KeyRig rig(KeyboardFamily::kA);
        KeyLayout layout;
        layout.rowCount = 6;
        layout.colCount = 21;
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 21; ++j) {
                const int code = 4 + (i * 21 + j) % 100;
                layout.grid[static_cast<size_t>(i)][static_cast<size_t>(j)] = static_cast<uint8_t>(code);
                layout.lightPosition[code] = code - 4;
            }
        const GridSampling sampling = ComputeGridSampling(6, 21);
        ToneSource tone;
        Visualizer visualizer(&tone);
        visualizer.SetForeground(17); // the default of RGB keyboards, the costliest pattern in use
        visualizer.SetBackground(1, 20);
        visualizer.SetActive(true);
        LiveColours live(rig.link_);
        VisibleWindow window;
        FunctionActions actions;
        actions.stream = [&] { live.Stream(layout, sampling, false, &visualizer, nullptr, 0); };
        WorkerState ws;
        ShowLiveMode(ws, kMusicMode);
        DeviceTaskQueue queue;
        DeviceWorker worker(queue, ws, window, actions);

        timespec cpu0, cpu1;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu0);
        const auto wall0 = std::chrono::steady_clock::now();
        visualizer.Start();
        worker.Start();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        worker.Stop();
        visualizer.Stop();
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu1);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        const double cpu = (cpu1.tv_sec - cpu0.tv_sec) + (cpu1.tv_nsec - cpu0.tv_nsec) / 1e9;
        const int frames = rig.Keyboard([](SimKeyboard& k) { return k.A().liveFrames; });
        state.counters["cpu_pct_of_core"] = 100.0 * cpu / wall;
        state.counters["frames_per_s"] = frames / wall;
    }
}
BENCHMARK(BM_MusicStreamingCpu)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
