// The device worker: one background thread that runs every device and network job, one task
// per 16 ms period, so that the user interface never waits on the keyboard or the network.
#pragma once

#include "app/core/device_task_queue.h"
#include "app/core/thread_basic.h"
#include "app/device/family.h"

#include <atomic>

namespace vantrel {

// Connection and page state the worker reads; written by the connection and page code.
struct WorkerState {
    std::atomic<bool> deviceFound{false};  // a supported interface was found by the last scan
    std::atomic<bool> modePresent{false};  // a configured connection mode matched an interface
    std::atomic<int> deviceType{0};        // device type of the loaded model
    std::atomic<int> currentPage{0};       // page index of the main window; 3 is lighting
    std::atomic<unsigned> lightCapabilities{0}; // capability bits of the current light mode
};

inline constexpr int kLightingPage = 3;
inline constexpr unsigned kLiveColourModes = 0x600; // music (0x200) and screen (0x400)

// What the worker needs of the main window. Called from the worker thread.
class WorkerWindow {
public:
    virtual ~WorkerWindow() = default;
    virtual void EnableWindow(bool enable) = 0;
    virtual bool IsWindowVisible() const = 0;
    // Ends the open wait dialog, if any.
    virtual void EndWaitDialog() = 0;
};

// The actions of the task codes; each subsystem fills in its own. Called from the worker thread.
class DeviceTaskActions {
public:
    virtual ~DeviceTaskActions() = default;
    virtual void ScanDevices() {}
    virtual void StartAudioAnalysis() {}
    virtual void SyncDevice() {}
    virtual void WriteKeys(KeyboardFamily) {}
    virtual void ApplyLight(KeyboardFamily) {}
    virtual void WriteKeyColours(KeyboardFamily) {}
    virtual void FactoryReset(KeyboardFamily) {}
    virtual void CheckSoftwareUpdate() {}
    virtual void CheckFirmwareUpdate() {}
    virtual void DownloadSoftware() {}
    virtual void DownloadFirmwareTool() {}
    virtual void RunFirmwareTool() {}
    // One frame of live colours (music or screen mode) while the queue is idle.
    virtual void StreamLiveFrame() {}
};

class DeviceWorker final : public CThreadBasic {
public:
    static constexpr std::chrono::milliseconds kPeriod{16};
    static constexpr std::chrono::milliseconds kAfterWrite{100};

    DeviceWorker(DeviceTaskQueue& queue, WorkerState& state, WorkerWindow& window, DeviceTaskActions& actions);
    ~DeviceWorker() override;

    bool Start() { return CThreadBasic::Start(kPeriod); }
    bool InitialScanDone() const { return initialScanDone_.load(); }

    // One period's work; public so that tests can step the worker without its thread.
    void Run() override;

private:
    // Tasks that write to the keyboard end the wait dialog and give it time to settle.
    void FinishWrite();

    DeviceTaskQueue& queue_;
    WorkerState& state_;
    WorkerWindow& window_;
    DeviceTaskActions& actions_;
    std::atomic<bool> initialScanDone_{false};
};

} // namespace vantrel
