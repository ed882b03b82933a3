// A session: the device link, the store, the worker and its tasks, wired once for the program
// and for vantrelctl, so that both drive the keyboard through the same code.
#pragma once

#include "app/core/device_task_queue.h"
#include "app/core/device_worker.h"
#include "app/core/folders.h"
#include "app/core/headless_host.h"
#include "app/core/language.h"
#include "app/core/options.h"
#include "app/device/connection.h"
#include "app/device/device_info.h"
#include "app/device/hid_device_list.h"
#include "app/device/hid_trace.h"
#include "app/device/hidapi_backend.h"
#include "app/device/sim_backend.h"
#include "app/device/udev_monitor.h"
#include "app/keys/key_payloads.h"
#include "app/lighting/lighting.h"
#include "app/store/sqlite_db.h"
#include "app/store/store.h"
#include "app/update/http_client.h"
#include "app/update/launcher.h"
#include "app/update/updates.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace vantrel {

class SessionTasks;
class SessionHooks;
struct Simulation;

class Session {
public:
    // `report` gets connection changes and messages; `quit` ends the program (for an installer).
    Session(Folders folders, Options options, const LanguageTexts& texts, std::FILE* report, std::function<void()> quit);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Reads the configuration, builds the simulation or the real backend, and picks the model of
    // the keyboard that is plugged in; false with a reason when the HID trace cannot be written.
    bool Open(std::string* error);
    // Queues the start-up tasks (the software check when asked, then the first scan) and starts
    // the worker.
    void Start(bool checkSoftware);
    // Waits until the worker has run everything queued; false on timeout.
    bool WaitIdle(std::chrono::milliseconds timeout);
    void Queue(int task) { queue_.Queue(task); }
    // Saves the simulated keyboards' state (they keep it like real ones).
    void SaveSimulation();

    Store& GetStore() { return store_; }
    DeviceInfo& Info() { return *info_; }
    HidDeviceList& Link() { return *link_; }
    Connection& GetConnection() { return *connection_; }
    WorkerState& State() { return state_; }
    KeyWriteRequest& KeyRequest() { return keyRequest_; }
    LightState& Light();
    Updates& GetUpdates() { return *updates_; }
    DeviceTaskQueue& TaskQueue() { return queue_; }
    HeadlessHost& Host() { return host_; }
    const LanguageTexts& Texts() const { return texts_; }
    const Folders& GetFolders() const { return folders_; }
    SimulatedHid* Simulator();

private:
    Folders folders_;
    Options options_;
    const LanguageTexts& texts_;
    std::function<void()> quit_;
    HeadlessHost host_;
    HidapiBackend hidapi_;
    std::unique_ptr<Simulation> simulation_;
    std::unique_ptr<TracingBackend> trace_;
    std::unique_ptr<HidDeviceList> link_;
    std::unique_ptr<DeviceInfo> info_;
    Store store_{SQLiteDB::GetDatabase()};
    WorkerState state_;
    DeviceTaskQueue queue_;
    KeyWriteRequest keyRequest_;
    std::unique_ptr<SessionHooks> hooks_;
    std::unique_ptr<Connection> connection_;
    CurlHttpClient http_;
    std::unique_ptr<ProcessLauncher> launcher_;
    std::unique_ptr<Updates> updates_;
    std::unique_ptr<SessionTasks> tasks_;
    std::unique_ptr<DeviceWorker> worker_;
    std::unique_ptr<UdevMonitor> monitor_;
};

} // namespace vantrel
