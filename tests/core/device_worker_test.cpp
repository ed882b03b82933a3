#include "app/core/device_worker.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

namespace vantrel {
namespace {

// Stands for the main window and the subsystems: records what the worker asks of them.
class Recorder : public WorkerWindow, public DeviceTaskActions {
public:
    void EnableWindow(bool enable) override { Add(enable ? "enable" : "disable"); }
    bool IsWindowVisible() const override { return visible; }
    void EndWaitDialog() override { Add("end-wait"); }

    void ScanDevices() override { Add("scan"); }
    void StartAudioAnalysis() override { Add("audio"); }
    void SyncDevice() override { Add("sync"); }
    void WriteKeys(KeyboardFamily f) override { Add("keys" + Name(f)); }
    void ApplyLight(KeyboardFamily f) override { Add("light" + Name(f)); }
    void WriteKeyColours(KeyboardFamily f) override { Add("colours" + Name(f)); }
    void FactoryReset(KeyboardFamily f) override { Add("reset" + Name(f)); }
    void CheckSoftwareUpdate() override {
        Add("software");
        if (blockMs) std::this_thread::sleep_for(std::chrono::milliseconds(blockMs));
    }
    void CheckFirmwareUpdate() override { Add("firmware"); }
    void DownloadSoftware() override { Add("download-software"); }
    void DownloadFirmwareTool() override { Add("download-tool"); }
    void RunFirmwareTool() override { Add("run-tool"); }
    void StreamLiveFrame() override { Add("frame"); }

    std::string Trace() {
        std::lock_guard lock(mutex_);
        std::string out;
        for (const auto& e : events_) out += (out.empty() ? "" : " ") + e;
        events_.clear();
        return out;
    }

    bool visible = true;
    int blockMs = 0;

private:
    static std::string Name(KeyboardFamily f) {
        return f == KeyboardFamily::kA ? ":A" : f == KeyboardFamily::kB ? ":B" : ":none";
    }
    void Add(std::string e) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(e));
    }
    std::mutex mutex_;
    std::vector<std::string> events_;
};

struct TaskCase {
    int code;
    bool device;
    int deviceType;
    const char* trace;
};

void PrintTo(const TaskCase& c, std::ostream* os) {
    *os << "task " << c.code << (c.device ? " with" : " without") << " keyboard, type " << c.deviceType;
}

class DeviceWorkerTaskTest : public ::testing::TestWithParam<TaskCase> {};

TEST_P(DeviceWorkerTaskTest, RunsOneTaskAndRemovesIt) {
    const TaskCase& c = GetParam();
    DeviceTaskQueue queue;
    WorkerState state;
    Recorder recorder;
    state.deviceFound = state.modePresent = c.device;
    state.deviceType = c.deviceType;
    DeviceWorker worker(queue, state, recorder, recorder);
    queue.Queue(c.code);
    queue.Queue(kSelectModel); // a second task waits for the next period
    worker.Run();
    EXPECT_EQ(recorder.Trace(), c.trace) << "task " << c.code;
    EXPECT_EQ(queue.Size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Worker, DeviceWorkerTaskTest,
    ::testing::Values(
        // Without a keyboard, device tasks are dropped untouched; scans and the software check run.
        TaskCase{kWriteKeys, false, 100, ""}, TaskCase{kApplyLight, false, 100, ""},
        TaskCase{kWriteKeyColours, false, 100, ""}, TaskCase{kFactoryReset, false, 100, ""},
        TaskCase{kInitialScan, false, 100, "scan audio"}, TaskCase{kDeviceArrived, false, 100, "scan"},
        TaskCase{kDeviceRemoved, false, 100, "scan"}, TaskCase{kCheckSoftwareUpdate, false, 100, "software"},
        // With a keyboard, every task runs between disabling and enabling the window.
        TaskCase{kSelectModel, true, 100, "disable enable"},
        TaskCase{kSyncDevice, true, 100, "disable sync enable"},
        TaskCase{kWriteKeys, true, 100, "disable keys:A end-wait enable"},
        TaskCase{kWriteKeys, true, 200, "disable keys:A end-wait enable"},
        TaskCase{kWriteKeys, true, 201, "disable keys:B end-wait enable"},
        TaskCase{kApplyLight, true, 299, "disable light:B end-wait enable"},
        TaskCase{kApplyLight, true, 300, "disable end-wait enable"}, // no family: nothing sent
        TaskCase{kWriteKeyColours, true, 100, "disable colours:A end-wait enable"},
        TaskCase{kFactoryReset, true, 250, "disable reset:B end-wait enable"},
        TaskCase{kCheckSoftwareUpdate, true, 100, "software disable enable"},
        TaskCase{kCheckFirmwareUpdate, true, 100, "disable firmware enable"},
        TaskCase{kDownloadSoftware, true, 100, "disable download-software enable"},
        TaskCase{kDownloadFirmwareTool, true, 100, "disable download-tool enable"},
        TaskCase{kRunFirmwareTool, true, 100, "disable run-tool enable"},
        TaskCase{9, true, 100, "disable enable"}, TaskCase{11, true, 100, "disable enable"},
        TaskCase{99, true, 100, "disable enable"}, TaskCase{-1, false, 100, ""}));

TEST(DeviceWorker, InitialScanRunsOnce) {
    DeviceTaskQueue queue;
    WorkerState state;
    Recorder recorder;
    DeviceWorker worker(queue, state, recorder, recorder);
    queue.Queue(kInitialScan);
    queue.Queue(kInitialScan);
    worker.Run();
    worker.Run();
    EXPECT_EQ(recorder.Trace(), "scan audio");
    EXPECT_TRUE(queue.Empty());
    EXPECT_TRUE(worker.InitialScanDone());
}

TEST(DeviceWorker, StreamsLiveColoursOnlyWhenIdleOnTheLightingPageOfFamilyA) {
    struct Case {
        const char* name;
        bool found;
        bool visible;
        int page;
        int type;
        unsigned caps;
        bool streams;
    } cases[] = {
        {"music mode", true, true, 3, 100, 0x200, true},
        {"screen mode", true, true, 3, 199, 0x400, true},
        {"no live mode", true, true, 3, 100, 0x100, false},
        {"device type 200", true, true, 3, 200, 0x600, false},
        {"family B", true, true, 3, 250, 0x600, false},
        {"other page", true, true, 2, 100, 0x600, false},
        {"hidden window", true, false, 3, 100, 0x600, false},
        {"no keyboard", false, true, 3, 100, 0x600, false},
    };
    for (const Case& c : cases) {
        DeviceTaskQueue queue;
        WorkerState state;
        Recorder recorder;
        state.deviceFound = state.modePresent = c.found;
        state.currentPage = c.page;
        state.deviceType = c.type;
        state.lightCapabilities = c.caps;
        recorder.visible = c.visible;
        DeviceWorker worker(queue, state, recorder, recorder);
        worker.Run();
        EXPECT_EQ(recorder.Trace(), c.streams ? "frame" : "") << c.name;
        queue.Queue(kSelectModel); // and never while a task waits
        worker.Run();
        EXPECT_EQ(recorder.Trace().find("frame"), std::string::npos) << c.name;
    }
}

TEST(DeviceWorker, ThreadRunsTasksInOrderAndStopsWithinOneSecond) {
    DeviceTaskQueue queue;
    WorkerState state;
    state.deviceFound = state.modePresent = true;
    state.deviceType = 100;
    Recorder recorder;
    DeviceWorker worker(queue, state, recorder, recorder);
    queue.Queue(kSyncDevice);
    queue.Queue(kApplyLight);
    ASSERT_TRUE(worker.Start());
    EXPECT_FALSE(worker.Start()); // already running
    for (int i = 0; i < 200 && !queue.Empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(queue.Empty());

    recorder.blockMs = 3000; // a task that ignores the stop, like a slow network request
    queue.Queue(kCheckSoftwareUpdate);
    for (int i = 0; i < 200 && recorder.Trace().find("software") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(worker.Stop()); // gave up waiting
    auto waited = std::chrono::steady_clock::now() - before;
    EXPECT_LT(waited, std::chrono::milliseconds(1500));
    EXPECT_GE(waited, std::chrono::milliseconds(900));
}

TEST(DeviceWorker, StopCutsThePauseAfterAWrite) {
    DeviceTaskQueue queue;
    WorkerState state;
    state.deviceFound = state.modePresent = true;
    Recorder recorder;
    DeviceWorker worker(queue, state, recorder, recorder);
    for (int i = 0; i < 50; ++i) queue.Queue(kWriteKeys); // 50 writes would take 5 s of pauses
    ASSERT_TRUE(worker.Start());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(worker.Stop());
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
    EXPECT_FALSE(queue.Empty()); // tasks after the stop never run
}

} // namespace
} // namespace vantrel
