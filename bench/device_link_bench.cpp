// A full scan with three simulated keyboards, and loading each shipped model's description.
#include "app/core/headless_host.h"
#include "app/device/device_info.h"
#include "app/device/hid_device_list.h"
#include "app/device/sim_backend.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vantrel;

const std::filesystem::path kData = std::filesystem::path(VANTREL_SOURCE_DIR) / "data";

void BM_ScanThreeKeyboards(benchmark::State& state) {
    SimulatedHid hid;
    HeadlessHost host(stdout);
    HidDeviceList link(hid);
    DeviceInfo info(kData, kData, host, &link, nullptr);
    info.LoadConfiguration();
    SimKeyboardSpec a;
    a.family = KeyboardFamily::kA;
    a.productIds[0] = 1;
    SimKeyboardSpec b;
    b.family = KeyboardFamily::kB;
    b.productIds[0] = 2;
    b.productIds[1] = 3;
    b.productIds[2] = 4;
    hid.Plug(hid.AddKeyboard(a), 0);
    hid.Plug(hid.AddKeyboard(b), 0);
    hid.Plug(hid.AddKeyboard(b), 1);
    for (auto _ : state) {
        link.CloseAllInterfaces();
        link.ScanInterfaces();
        link.SetOpened(true);
        benchmark::DoNotOptimize(link.OpenedCount());
    }
    if (link.OpenedCount() != 3) state.SkipWithError("expected three keyboards");
}
BENCHMARK(BM_ScanThreeKeyboards)->Unit(benchmark::kMicrosecond);

void BM_LoadModel(benchmark::State& state) {
    HeadlessHost host(stdout);
    DeviceInfo info(kData, kData, host, nullptr, nullptr);
    info.LoadConfiguration();
    const int type = static_cast<int>(state.range(0));
    for (auto _ : state) {
        info.LoadModel(type);
        benchmark::DoNotOptimize(info.Layout().keys.size());
    }
    if (info.Layout().keys.empty()) state.SkipWithError("no keys loaded");
}
BENCHMARK(BM_LoadModel)->Arg(100)->Arg(201)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
