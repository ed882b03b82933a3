// Pelta's paint pipeline on the headless window system: a full 1280 x 720 frame of 200 skinned
// controls, one small control, an idle window, and the animation tick's period.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <thread>

#include "pelta/core/control_font.h"
#include "pelta/core/dialog.h"
#include "pelta/core/headless_window_system.h"
#include "pelta/core/manager.h"
#include "pelta/core/menu.h"
#include "pelta/core/paint_manager.h"
#include "pelta/core/timer_service.h"

namespace {

using namespace Pelta;

// A skinned tile as the standard controls will be: a nine-grid frame of a 4-state strip and a
// title, rendered into its cache once and copied afterwards.
class Tile : public MControlFont {
public:
    using MControlFont::MControlFont;
    int state = 0;
    void DrawControl(cairo_t* cr, CRect) override {
        const int w = rect_.Width(), h = rect_.Height();
        if (UpdateMemDC(w * 4, h)) {
            ContextPtr c(cairo_create(GetMemSurface()));
            const FontSpec font = GetFontSpec();
            for (int k = 0; k < 4; ++k) {
                DrawFrameGrid(c.get(), k, CRect::FromSize(k * w, 0, w, h), 6);
                MRender::DrawText(c.get(), CRect::FromSize(k * w, 0, w, h), title_, textColour_, font, {1, 4});
            }
        }
        MRender::DrawImage(cr, GetMemSurface(), rect_, state * w, 0, w, h);
    }
};

class Fixture {
public:
    Fixture() {
        char pattern[] = "/tmp/pelta-bench-XXXXXX";
        folder_ = mkdtemp(pattern);
        std::filesystem::create_directories(folder_ / "skins" / "theme1");
        std::filesystem::create_directory_symlink(PELTA_FONT_DIR, folder_ / "font");
        SurfacePtr strip = CreateArgbSurface(4 * 24, 24);
        ContextPtr cr(cairo_create(strip.get()));
        for (int k = 0; k < 4; ++k) {
            MRender::DrawRoundRectange(cr.get(), k * 24 + 1.f, 1.f, 22.f, 22.f, 4.f, 0xFFE0E0E0, 1.f, true,
                                       0xFF203040 + 0x101010u * k);
        }
        cairo_surface_write_to_png(strip.get(), (folder_ / "skins" / "theme1" / "tile.png").c_str());
        Manager::SetResourceFolder(folder_);
        WindowSystem::Install(std::make_unique<HeadlessWindowSystem>());
        dialog.Create(0, u"bench", 0, 0, CRect::FromSize(0, 0, 1280, 720));
        dialog.ShowWindow(SW_SHOW);
        PaintManager& pm = dialog.GetPaintManager();
        for (int i = 0; i < 200; ++i) {
            const int col = i % 20, row = i / 20;
            auto tile = std::make_unique<Tile>(&dialog, 100 + i, CRect::FromSize(col * 64 + 2, row * 72 + 2, 60, 68),
                                               u"Key " + std::u16string(1, char16_t(u'A' + i % 26)), 1, 1, 1);
            Tile* raw = static_cast<Tile*>(pm.AddControl(std::move(tile)));
            raw->SetImage(u"tile.png", 4);
            tiles.push_back(raw);
        }
        Settle();
    }
    ~Fixture() {
        dialog.DestroyWindow();
        Manager::PumpMessages();
        WindowSystem::Install(nullptr);
        std::filesystem::remove_all(folder_);
    }
    static void Settle() {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
        while (std::chrono::steady_clock::now() < until)
            if (!Manager::PumpMessages()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    MDialog dialog;
    std::vector<Tile*> tiles;

private:
    std::filesystem::path folder_;
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

void BM_FullRepaint(benchmark::State& state) {
    Fixture& f = Shared();
    PaintManager& pm = f.dialog.GetPaintManager();
    const CRect client = pm.GetClientRect();
    for (auto _ : state) {
        pm.Compose(client);
        benchmark::DoNotOptimize(pm.GetOffscreen());
    }
    state.counters["controls"] = static_cast<double>(f.tiles.size());
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

// Every control re-renders its cache (text layout included): the first frame, or a skin change.
void BM_FullRepaintColdCaches(benchmark::State& state) {
    Fixture& f = Shared();
    PaintManager& pm = f.dialog.GetPaintManager();
    const CRect client = pm.GetClientRect();
    for (auto _ : state) {
        for (Tile* t : f.tiles) t->SetUpdate(0);
        pm.Compose(client);
    }
}
BENCHMARK(BM_FullRepaintColdCaches)->Unit(benchmark::kMillisecond);

// One control changes its shown frame (hover): invalidate, compose its area, present.
void BM_SmallControlRepaint(benchmark::State& state) {
    Fixture& f = Shared();
    PaintManager& pm = f.dialog.GetPaintManager();
    Tile* tile = f.tiles[57];
    for (auto _ : state) {
        tile->state ^= 1;
        tile->UpdateControl(0, 0);
        pm.Paint();
    }
}
BENCHMARK(BM_SmallControlRepaint)->Unit(benchmark::kMicrosecond);

// The same with new content (its cache renders again).
void BM_SmallControlContentRepaint(benchmark::State& state) {
    Fixture& f = Shared();
    PaintManager& pm = f.dialog.GetPaintManager();
    Tile* tile = f.tiles[57];
    for (auto _ : state) {
        tile->UpdateControl(1, 0);
        pm.Paint();
    }
}
BENCHMARK(BM_SmallControlContentRepaint)->Unit(benchmark::kMicrosecond);

// Opening and closing a two-item popup menu, as a right click does.
void BM_OpenMenu(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        auto* menu = new MenuWnd(&f.dialog);
        menu->Create(f.dialog.GetSafeHwnd(), {100, 100}, 1825, 200);
        menu->AddMenu(u"Copy", 11);
        menu->AddMenu(u"Paste", 12);
        menu->ShowWindow(SW_SHOW);
        menu->DestroyWindow(); // deletes itself
    }
}
BENCHMARK(BM_OpenMenu)->Unit(benchmark::kMicrosecond);

double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Nothing animating: a second of the message loop paints nothing and costs (next to) no CPU.
void BM_IdleWindow(benchmark::State& state) {
    Fixture& f = Shared();
    PaintManager& pm = f.dialog.GetPaintManager();
    Fixture::Settle();
    for (auto _ : state) {
        const int paints = pm.PaintCount();
        const double cpu = ProcessCpuMs();
        // The program's own loop, ended by a quit a second from now.
        TimerService::Instance().Start(1000, [] { WindowSystem::PostToInstalled({0, WM_QUIT, 0, 0}); }, true);
        Manager::MessageLoop();
        state.counters["paints_per_s"] = pm.PaintCount() - paints;
        state.counters["cpu_ms_per_s"] = ProcessCpuMs() - cpu;
    }
}
BENCHMARK(BM_IdleWindow)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The 10 ms animation tick as the window's thread sees it.
void BM_AnimationTickPeriod(benchmark::State& state) {
    Fixture& f = Shared();
    PaintManager& pm = f.dialog.GetPaintManager();
    for (auto _ : state) {
        pm.SetMTimer(10);
        std::vector<std::chrono::steady_clock::time_point> ticks;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        MSG msg;
        while (std::chrono::steady_clock::now() < until && WindowSystem::Current().GetMessage(msg)) {
            MWindow::DispatchMessage(msg);
            if (msg.message == WM_PELTA_TICK) ticks.push_back(std::chrono::steady_clock::now());
        }
        pm.KillMTimer();
        double worst = 0;
        for (size_t i = 1; i < ticks.size(); ++i)
            worst = std::max(worst, std::chrono::duration<double, std::milli>(ticks[i] - ticks[i - 1]).count() - 10.0);
        const double mean =
            ticks.size() > 1 ? std::chrono::duration<double, std::milli>(ticks.back() - ticks.front()).count() / (ticks.size() - 1) : 0;
        state.counters["mean_period_ms"] = mean;
        state.counters["worst_late_ms"] = worst;
        state.counters["ticks"] = static_cast<double>(ticks.size());
    }
}
BENCHMARK(BM_AnimationTickPeriod)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
