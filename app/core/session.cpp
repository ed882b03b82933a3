#include "app/core/session.h"

#include "app/core/text_encoding.h"
#include "app/device/link_tasks.h"
#include "app/device/protocol.h"
#include "app/lighting/live_colours.h"
#include "app/lighting/pulse_capture.h"
#include "app/lighting/screen_light.h"
#include "app/lighting/visualizer.h"

#include <set>
#include <thread>

namespace vantrel {

// The worker's tasks: the device link's, the updates', and a report of each scan's result while
// there is no window to show it.
class SessionTasks final : public LinkTasks {
public:
    SessionTasks(Connection& connection, HidDeviceList& link, const DeviceInfo& info, Updates& updates,
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
public:
    LightState lightState_;
private:
    PulseCapture music_{PulseCapture::Format::kFloat32Stereo};
    Visualizer visualizer_{&music_};
    std::unique_ptr<ScreenSource> screenSource_ = MakeX11ScreenSource();
    ScreenLight screen_{screenSource_.get()};
    LiveColours live_{link_};
};

// The page reloads after a connection; without pages, only the store is brought in line.
class SessionHooks final : public SyncHooks {
public:
    explicit SessionHooks(Store& store) : store_(store) {}
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


Session::Session(Folders folders, Options options, const LanguageTexts& texts, std::FILE* report,
                 std::function<void()> quit)
    : folders_(std::move(folders)), options_(std::move(options)), texts_(texts), quit_(std::move(quit)),
      host_(report, &texts) {}

Session::~Session() {
    if (worker_) worker_->Stop();
    worker_.reset();
    SaveSimulation();
}

LightState& Session::Light() {
    return tasks_->lightState_;
}

SimulatedHid* Session::Simulator() {
    return simulation_ ? &simulation_->hid : nullptr;
}

bool Session::Open(std::string* error) {
    HidBackend* backend = &hidapi_;
    if (options_.simulate) {
        simulation_ = std::make_unique<Simulation>();
        backend = &simulation_->hid;
    }
    if (!options_.traceFile.empty()) {
        trace_ = std::make_unique<TracingBackend>(*backend, options_.traceFile);
        if (!trace_->IsOpen()) {
            *error = "cannot write the HID trace to " + options_.traceFile;
            return false;
        }
        backend = trace_.get();
    }
    link_ = std::make_unique<HidDeviceList>(*backend);
    info_ = std::make_unique<DeviceInfo>(folders_.resources, folders_.data, host_, link_.get(), &SQLiteDB::GetDatabase());
    info_->LoadConfiguration();
    if (simulation_) simulation_->Build(*info_, options_.simulated, folders_.data / "simulator");

    // The model of the keyboard that is plugged in, as a click in the device list would choose it.
    link_->ScanInterfaces();
    link_->SetOpened(true);
    std::vector<int> types;
    link_->SetSelectedModel(0);
    link_->CollectModelInterfaces(&types);
    link_->CloseAllInterfaces();
    const std::set<int> present(types.begin(), types.end());
    if (!present.empty() && !present.count(info_->Model().deviceType)) info_->LoadModel(*present.begin());

    hooks_ = std::make_unique<SessionHooks>(store_);
    connection_ = std::make_unique<Connection>(*link_, *info_, state_, queue_, texts_, host_, *hooks_);
    launcher_ = std::make_unique<ProcessLauncher>(quit_);
    updates_ = std::make_unique<Updates>(http_, host_, *launcher_, queue_, folders_.data, folders_.program);
    updates_->SetSources({info_->Software().version, info_->Software().upgradeServer, info_->Model().firmwareServer,
                          info_->Model().firmwareFile});
    tasks_ = std::make_unique<SessionTasks>(*connection_, *link_, *info_, *updates_, host_, store_, keyRequest_);
    worker_ = std::make_unique<DeviceWorker>(queue_, state_, host_, *tasks_);

    auto notice = [this](bool arrival, const std::string& path) { connection_->OnDeviceChange(arrival, path); };
    if (simulation_) {
        simulation_->hid.SetNoticeHandler(notice);
    } else {
        monitor_ = std::make_unique<UdevMonitor>(notice);
        if (!monitor_->Start()) monitor_.reset();
    }
    return true;
}

void Session::Start(bool checkSoftware) {
    if (checkSoftware) queue_.Queue(kCheckSoftwareUpdate);
    queue_.Queue(kInitialScan);
    worker_->Start();
}

bool Session::WaitIdle(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!queue_.Empty()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void Session::SaveSimulation() {
    if (simulation_) simulation_->Save();
}

} // namespace vantrel
