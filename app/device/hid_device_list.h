// HidDeviceList: the keyboard's HID interfaces. Holds the supported-interface table from the
// configuration, opens the vendor interfaces of supported keyboards, chooses the one that carries
// configuration traffic, and moves reports through it (the transport operations).
//
// Scans and closing run on the device worker. Transfers may also come from the UI thread and the
// level-capture thread: each device has its own lock, held for every transfer and by
// CloseAllInterfaces, so no thread uses a device while it is being closed.
#pragma once

#include "app/device/hid_backend.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vantrel {

struct SupportedInterface {
    int vendorId = 0;
    int productId = 0;
    std::u16string productName; // empty: any product string
    int deviceType = 0;
    int connectionMode = 0;     // 0 cable, 1 and 2 wireless
    std::u16string interfacePattern;
};

// An interface with the configured ids that could not be opened for lack of permission.
struct InaccessibleInterface {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

class HidDeviceList {
public:
    static constexpr size_t kOutputLength = 65;
    static constexpr size_t kFeatureLength = 8;
    static constexpr int kStreamingInterfaceNumber = 3;

    explicit HidDeviceList(HidBackend& backend);
    ~HidDeviceList();
    HidDeviceList(const HidDeviceList&) = delete;
    HidDeviceList& operator=(const HidDeviceList&) = delete;

    void AddSupportedInterface(const SupportedInterface& row);
    std::vector<SupportedInterface> SupportedInterfaces() const;

    void ScanInterfaces();
    void CloseAllInterfaces();
    void SetOpened(bool opened);
    bool IsOpened() const;

    void SetSelectedModel(int deviceType);
    int SelectedModel() const;
    void ForgetSelectedInterface();
    // True when an interface is (or can be) selected.
    bool HasSelectedInterface();
    int ConnectionKind() const;
    // Device types of the opened interfaces of the selected model (all when it is 0); false when
    // nothing is open.
    bool CollectModelInterfaces(std::vector<int>* deviceTypes) const;
    int FindOpenedInterface(int vendorId, int productId, std::u16string_view productName, int connectionMode) const;
    int OpenedCount() const;
    bool HasStreamingInterface() const;
    std::vector<InaccessibleInterface> Inaccessible() const;

    // Transport. All fail at once, without touching a device or pausing, when the list is not
    // opened or the interface is missing.
    bool WriteOutput65(const uint8_t* report);
    bool WriteStreamOutput65(const uint8_t* report);
    bool WriteOutput64(const uint8_t* payload);
    bool SendFeature8(const uint8_t* report);
    // Reply in `report`; bytes read, or a negative value.
    int GetFeature8(uint8_t* report);
    // Writes that failed for good since the list was made (a command checks that none did).
    unsigned FailedWrites() const { return failedWrites_.load(); }

private:
    // One open interface and the lock of its transfers. `device` is null once closed.
    struct Channel {
        std::mutex mutex;
        std::unique_ptr<HidDevice> device;
    };
    struct OpenedInterface {
        uint16_t vendorId = 0;
        uint16_t productId = 0;
        std::u16string product;
        int deviceType = 0;
        int connectionMode = 0;
        std::shared_ptr<Channel> channel;
    };

    const SupportedInterface* FindSupported(uint16_t vendorId, uint16_t productId, std::u16string_view product) const;
    std::shared_ptr<Channel> Selected();
    std::shared_ptr<Channel> Streaming();
    int WriteOnce(const std::shared_ptr<Channel>& channel, const uint8_t* report);
    // One write, and one more after `pause` when nothing was written; counts a final failure.
    bool WriteWithRetry(const std::shared_ptr<Channel>& channel, const uint8_t* report,
                        std::chrono::milliseconds pause);

    HidBackend& backend_;
    mutable std::mutex mutex_; // guards everything below
    bool opened_ = false;
    std::vector<OpenedInterface> interfaces_;
    std::vector<SupportedInterface> supported_;
    int selectedModel_ = 0;
    std::shared_ptr<Channel> selected_;
    std::shared_ptr<Channel> streaming_;
    std::vector<InaccessibleInterface> inaccessible_;
    std::atomic<unsigned> failedWrites_{0};
};

} // namespace vantrel
