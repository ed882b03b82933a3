// Key writes against simulated keyboards: how long the protocol's own pauses take, and how much
// the program adds on top of them.
#include "app/keys/key_function.h"
#include "app/keys/key_payloads.h"
#include "tests/support/key_bench.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vantrel;
using namespace vantrel::testing;
using Clock = std::chrono::steady_clock;

void Report(benchmark::State& state, double wallMs, double pauseMs) {
    state.counters["pauses_ms"] = pauseMs;
    state.counters["added_ms"] = wallMs - pauseMs;
    state.counters["added_pct"] = 100.0 * (wallMs - pauseMs) / pauseMs;
}

// 10 simple and 12 complex slots on a keyboard whose slots are free.
void BM_FamilyBFullRewrite(benchmark::State& state) {
    KeyRig rig(KeyboardFamily::kB);
    for (int i = 0; i < 10; ++i) rig.Key(0x04 + i, kListCode, 0x1E + i);
    const int macro = rig.Macro(80, 20);
    for (int i = 0; i < 12; ++i) rig.Key(0x20 + i, i % 2 ? kShortcut : kMacro, i % 2 ? 2 : macro);
    KeyWriteRequest request;
    // Read-back 4 x 16, one 16 before each of the 22 slots, 16 per simple report, 28 x 16 per complex slot.
    const double pauses = 4 * 16 + 22 * 16 + 10 * 16 + 12 * 28 * 16;
    for (auto _ : state) {
        const auto start = Clock::now();
        WriteKeys(KeyboardFamily::kB, rig.Context(), request);
        Report(state, std::chrono::duration<double, std::milli>(Clock::now() - start).count(), pauses);
    }
}
BENCHMARK(BM_FamilyBFullRewrite)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// 12 macro keys with 80 events each.
void BM_FamilyAMacroDownload(benchmark::State& state) {
    KeyRig rig(KeyboardFamily::kA);
    for (int i = 0; i < 12; ++i) rig.Key(0x04 + i, kMacro, rig.Macro(80, 20));
    KeyWriteRequest request;
    // Per macro 10 + 5 frames x 100 (243 bytes in 59-byte frames); then 20 and 4 x 10 for the key table.
    const double pauses = 12 * (10 + 5 * 100) + 20 + 4 * 10;
    for (auto _ : state) {
        const auto start = Clock::now();
        WriteKeys(KeyboardFamily::kA, rig.Context(), request);
        Report(state, std::chrono::duration<double, std::milli>(Clock::now() - start).count(), pauses);
    }
}
BENCHMARK(BM_FamilyAMacroDownload)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
