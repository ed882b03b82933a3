#include "app/core/device_worker.h"

namespace vantrel {

DeviceWorker::DeviceWorker(DeviceTaskQueue& queue, WorkerState& state, WorkerWindow& window,
                           DeviceTaskActions& actions)
    : queue_(queue), state_(state), window_(window), actions_(actions) {}

DeviceWorker::~DeviceWorker() {
    Join();
}

void DeviceWorker::FinishWrite() {
    window_.EndWaitDialog();
    SleepFor(kAfterWrite);
}

void DeviceWorker::Run() {
    std::optional<int> front = queue_.Front();
    if (!front) {
        if (state_.deviceFound && window_.IsWindowVisible() && state_.currentPage == kLightingPage &&
            state_.deviceType < 200 && (state_.lightCapabilities & kLiveColourModes) != 0)
            actions_.StreamLiveFrame();
        return;
    }

    const int task = *front;
    switch (task) {
    case kInitialScan:
        if (!initialScanDone_.exchange(true)) {
            actions_.ScanDevices();
            actions_.StartAudioAnalysis();
        }
        break;
    case kDeviceArrived:
    case kDeviceRemoved:
        actions_.ScanDevices();
        break;
    case kCheckSoftwareUpdate:
        actions_.CheckSoftwareUpdate();
        break;
    default:
        break;
    }

    // Everything else needs a keyboard; without one the task is dropped, not kept.
    if (!state_.deviceFound || !state_.modePresent) {
        queue_.RemoveFront();
        return;
    }

    window_.EnableWindow(false);
    const KeyboardFamily family = FamilyForDeviceType(state_.deviceType);
    switch (task) {
    case kSyncDevice: actions_.SyncDevice(); break;
    case kWriteKeys:
        if (family != KeyboardFamily::kNone) actions_.WriteKeys(family);
        FinishWrite();
        break;
    case kApplyLight:
        if (family != KeyboardFamily::kNone) actions_.ApplyLight(family);
        FinishWrite();
        break;
    case kWriteKeyColours:
        actions_.WriteKeyColours(family);
        FinishWrite();
        break;
    case kFactoryReset:
        actions_.FactoryReset(family);
        FinishWrite();
        break;
    case kCheckFirmwareUpdate: actions_.CheckFirmwareUpdate(); break;
    case kDownloadSoftware: actions_.DownloadSoftware(); break;
    case kDownloadFirmwareTool: actions_.DownloadFirmwareTool(); break;
    case kRunFirmwareTool: actions_.RunFirmwareTool(); break;
    default: break; // 4 (select model) and unknown codes: only the enable/disable round
    }
    window_.EnableWindow(true);
    queue_.RemoveFront();
}

} // namespace vantrel
