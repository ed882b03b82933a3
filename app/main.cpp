// Vantrel's entry: product name, single instance, language and folders, the device link with its
// worker, then the program runs until it is asked to quit.
#include "app/core/device_worker.h"
#include "app/core/folders.h"
#include "app/core/headless_host.h"
#include "app/core/language.h"
#include "app/core/options.h"
#include "app/core/product.h"
#include "app/core/settings.h"
#include "app/core/single_instance.h"
#include "app/core/startup.h"
#include "app/core/text_encoding.h"
#include "app/device/connection.h"
#include "app/device/device_info.h"
#include "app/device/hid_trace.h"
#include "app/device/hidapi_backend.h"
#include "app/device/link_tasks.h"
#include "app/device/sim_backend.h"
#include "app/device/udev_monitor.h"
#include "app/device/protocol.h"
#include "app/keys/key_payloads.h"
#include "app/lighting/lighting.h"
#include "app/lighting/live_colours.h"
#include "app/lighting/pulse_capture.h"
#include "app/lighting/screen_light.h"
#include "app/lighting/visualizer.h"
#include "app/store/sqlite_db.h"
#include "app/update/http_client.h"
#include "app/update/launcher.h"
#include "app/update/updates.h"
#include "pelta/core/manager.h"

#include <csignal>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <sstream>

namespace {

using namespace vantrel;

std::mutex quitMutex;
std::condition_variable quitSignal;
bool quitRequested = false;

void RequestQuit() {
    std::lock_guard lock(quitMutex);
    quitRequested = true;
    quitSignal.notify_all();
}

// Requests from a second start or from vantrelctl, on the single-instance socket's thread.
std::string HandleRequest(const std::string& request) {
    if (request == "raise") return "ok";
    std::istringstream in(request);
    std::string word;
    unsigned message = 0;
    long wparam = 0, lparam = 0;
    if (in >> word >> message >> wparam >> lparam && word == "message") {
        if (message == kQuitMessage && lparam == kQuitMessageParam) {
            RequestQuit();
            return "ok";
        }
        return "error message not handled";
    }
    return "error unknown request";
}

// The worker's tasks: the device link's, the updates', and a report of each scan's result while
// there is no window to show it.
class ProgramTasks final : public LinkTasks {
public:
    ProgramTasks(Connection& connection, HidDeviceList& link, const DeviceInfo& info, Updates& updates,
                 HeadlessHost& host, Store& store, KeyWriteRequest& keyRequest)
        : LinkTasks(connection), link_(link), info_(info), updates_(updates), host_(host), store_(store),
          keyRequest_(keyRequest) {}
    void ApplyLight(KeyboardFamily family) override {
        const int profile = store_.GetActiveProfile();
        LightRecord light;
        if (store_.GetLight(profile, store_.GetActiveLightMode(profile), &light))
            SendLight(link_, family, connection_.ConnectionKind(), light, lightState_.perKeySlot, lightState_.modeSent);
    }
    void WriteKeyColours(KeyboardFamily) override { vantrel::WriteKeyColours(store_, link_, info_.Layout().lightPosition); }
    // The music analysis and the screen sampler start with the first scan; they work only while
    // the light page shows their mode.
    void StartAudioAnalysis() override {
        visualizer_.Start();
        screen_.Start(info_.Layout().colCount, info_.Layout().rowCount);
    }
    void StreamLiveFrame() override {
        const KeyLayout& layout = info_.Layout();
        live_.Stream(layout, ComputeGridSampling(layout.rowCount, layout.colCount),
                     (lightState_.capabilities & kScreenMode) != 0, &visualizer_, &screen_,
                     connection_.ConnectionKind());
    }
    void WriteKeys(KeyboardFamily family) override {
        KeyWriteContext ctx{store_, link_, store_.GetActiveProfile(), info_.Layout().keyPosition, layout_};
        vantrel::WriteKeys(family, ctx, keyRequest_);
    }
    void ScanDevices() override {
        LinkTasks::ScanDevices();
        host_.ReportConnection(info_.Model().name, connection_.ConnectionKind(), connection_.DeviceFound());
    }
    void CheckSoftwareUpdate() override { updates_.CheckSoftwareUpdate(); }
    void CheckFirmwareUpdate() override {
        updates_.CheckFirmwareUpdate([this]() -> std::optional<uint16_t> {
            uint16_t version = 0;
            if (!ReadFirmwareVersion(link_, &version)) return std::nullopt;
            return version;
        });
    }
    void DownloadSoftware() override { updates_.DownloadSoftware(); }
    void DownloadFirmwareTool() override { updates_.DownloadFirmwareTool(); }
    void RunFirmwareTool() override {
        updates_.RunFirmwareTool([this] { link_.CloseAllInterfaces(); }, [this] { ScanDevices(); });
    }

private:
    HidDeviceList& link_;
    const DeviceInfo& info_;
    Updates& updates_;
    HeadlessHost& host_;
    Store& store_;
    KeyWriteRequest& keyRequest_;
    UsKeyboardLayout layout_;
    LightState lightState_;
    PulseCapture music_{PulseCapture::Format::kFloat32Stereo};
    Visualizer visualizer_{&music_};
    std::unique_ptr<ScreenSource> screenSource_ = MakeX11ScreenSource();
    ScreenLight screen_{screenSource_.get()};
    LiveColours live_{link_};
};

// The page reloads after a connection; without pages, only the store is brought in line.
class ProgramHooks final : public SyncHooks {
public:
    explicit ProgramHooks(Store& store) : store_(store) {}
    void ReconcileKeyFunctions(const SlotTable& slots) override {
        vantrel::ReconcileKeyFunctions(store_, store_.GetActiveProfile(), slots);
    }

private:
    Store& store_;
};

// One simulated keyboard per chosen model, plugged on the chosen connection; their slots and
// tables persist in the data folder like a real keyboard's.
struct Simulation {
    SimulatedHid hid;
    std::vector<std::pair<int, std::filesystem::path>> keyboards;

    void Build(const DeviceInfo& info, const std::vector<SimulatedKeyboardChoice>& wanted,
               const std::filesystem::path& stateFolder) {
        std::vector<SimulatedKeyboardChoice> choices = wanted;
        if (choices.empty())
            for (const ModelRecord& m : info.Models()) choices.push_back({m.deviceType, -1});
        EnsureFolder(stateFolder);
        for (const SimulatedKeyboardChoice& choice : choices) {
            SimKeyboardSpec spec;
            spec.family = FamilyForDeviceType(choice.deviceType);
            int firstMode = -1;
            for (const ModelRecord& mode : info.Modes()) {
                if (mode.deviceType != choice.deviceType || mode.modeValue < 0 || mode.modeValue > 2) continue;
                spec.vendorId = static_cast<uint16_t>(mode.vendorId);
                spec.productIds[mode.modeValue] = mode.productId;
                if (firstMode < 0) firstMode = mode.modeValue;
            }
            const int plug = choice.mode >= 0 ? choice.mode : firstMode;
            if (plug < 0 || spec.productIds[plug] < 0) {
                std::fprintf(stderr, "vantrel: no configured model %d with connection %d to simulate\n",
                             choice.deviceType, choice.mode);
                continue;
            }
            const int id = hid.AddKeyboard(spec);
            const auto state = stateFolder / (std::to_string(choice.deviceType) + "-" + std::to_string(id) + ".state");
            hid.With(id, [&](SimKeyboard& k) { return k.Load(state); });
            keyboards.emplace_back(id, state);
            hid.Plug(id, plug);
        }
    }
    void Save() {
        for (const auto& [id, state] : keyboards) hid.With(id, [&](SimKeyboard& k) { return k.Save(state); });
    }
};

} // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), &error);
    if (!options) {
        std::fprintf(stderr, "vantrel: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    const std::filesystem::path resources = ResourceFolder(ProgramFolder());
    if (auto name = ReadProductName(resources / "config.xml")) pelta::Manager::SetDeviceName(*name);
    const std::u16string product = pelta::Manager::GetDeviceName();
    const Folders folders = ResolveFolders(product);

    EnsureFolder(folders.runtime);
    SingleInstance instance(folders.runtime, FileNameOf(product));
    if (instance.Acquire(HandleRequest) == SingleInstance::Claim::kHandedOver) return 0;

    SettingsStore settings(folders.config / "settings.ini");
    LanguageTexts texts(resources / "language", ResolveLanguageId(settings, UserDefaultLanguageId()));
    EnsureFolder(folders.data / "db");

    // Signals end the program the same way the quit message does.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals] {
        int received = 0;
        sigwait(&signals, &received);
        RequestQuit();
    }).detach();

    // The device link: real keyboards through hidapi, or simulated ones; traced on request.
    HidapiBackend hidapi;
    Simulation simulation;
    HidBackend* backend = options->simulate ? static_cast<HidBackend*>(&simulation.hid) : &hidapi;
    std::unique_ptr<TracingBackend> trace;
    if (!options->traceFile.empty()) {
        trace = std::make_unique<TracingBackend>(*backend, options->traceFile);
        if (!trace->IsOpen()) {
            std::fprintf(stderr, "vantrel: cannot write the HID trace to %s\n", options->traceFile.c_str());
            return 1;
        }
        backend = trace.get();
    }
    HidDeviceList link(*backend);
    HeadlessHost host(stdout, &texts);
    DeviceInfo info(resources, folders.data, host, &link, &SQLiteDB::GetDatabase());
    info.LoadConfiguration();

    WorkerState state;
    DeviceTaskQueue queue;
    Store store(SQLiteDB::GetDatabase());
    ProgramHooks hooks(store);
    KeyWriteRequest keyRequest;
    Connection connection(link, info, state, queue, texts, host, hooks);
    CurlHttpClient http;
    ProcessLauncher launcher(RequestQuit);
    Updates updates(http, host, launcher, queue, folders.data, folders.program);
    updates.SetSources({info.Software().version, info.Software().upgradeServer, info.Model().firmwareServer,
                        info.Model().firmwareFile});
    ProgramTasks tasks(connection, link, info, updates, host, store, keyRequest);
    DeviceWorker worker(queue, state, host, tasks);

    auto notice = [&connection](bool arrival, const std::string& path) { connection.OnDeviceChange(arrival, path); };
    UdevMonitor monitor(notice);
    if (options->simulate) {
        simulation.Build(info, options->simulated, folders.data / "simulator");
        simulation.hid.SetNoticeHandler(notice);
    } else if (!monitor.Start()) {
        std::fprintf(stderr, "vantrel: no device notices from udev; keyboards plugged in later are not seen\n");
    }

    queue.Queue(kCheckSoftwareUpdate);
    queue.Queue(kInitialScan);
    worker.Start();
    std::fprintf(stderr, "%s: running (language %d). The main window is not part of this build yet; stop with Ctrl+C.\n",
                 WideToUtf8(product).c_str(), texts.LanguageId());

    {
        std::unique_lock lock(quitMutex);
        quitSignal.wait(lock, [] { return quitRequested; });
    }
    worker.Stop();
    if (options->simulate) simulation.Save();
    return 0; // the quit message and signals end the program with 0
}
