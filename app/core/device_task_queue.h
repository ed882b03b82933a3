// The first-in first-out queue of device task codes. Any thread appends; only the device
// worker looks at and removes the front.
#pragma once

#include <deque>
#include <mutex>
#include <optional>

namespace vantrel {

enum DeviceTask : int {
    kInitialScan = 1,
    kDeviceArrived = 2,
    kDeviceRemoved = 3,
    kSelectModel = 4,
    kSyncDevice = 5,
    kWriteKeys = 6,
    kApplyLight = 7,
    kWriteKeyColours = 8,
    kFactoryReset = 10,
    kCheckSoftwareUpdate = 12,
    kCheckFirmwareUpdate = 13,
    kDownloadSoftware = 14,
    kDownloadFirmwareTool = 15,
    kRunFirmwareTool = 16,
};

class DeviceTaskQueue {
public:
    // Never refuses: callers that must not pile up requests test Empty first.
    void Queue(int code);
    std::optional<int> Front() const;
    void RemoveFront();
    bool Empty() const;
    size_t Size() const;

private:
    mutable std::mutex mutex_;
    std::deque<int> codes_;
};

} // namespace vantrel
