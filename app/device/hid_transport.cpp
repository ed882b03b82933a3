// The transport operations of HidDeviceList: output and feature reports with the keyboard's
// retries and pauses.
#include "app/device/hid_device_list.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace vantrel {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kOutputRetryPause{10};
constexpr milliseconds kPayloadRetryPause{32};

} // namespace

int HidDeviceList::WriteOnce(const std::shared_ptr<Channel>& channel, const uint8_t* report) {
    std::lock_guard lock(channel->mutex);
    if (!channel->device) return -1; // closed while we waited
    return channel->device->Write(report, kOutputLength);
}

bool HidDeviceList::WriteWithRetry(const std::shared_ptr<Channel>& channel, const uint8_t* report,
                                   std::chrono::milliseconds pause) {
    if (WriteOnce(channel, report) >= 1) return true;
    std::this_thread::sleep_for(pause);
    if (WriteOnce(channel, report) >= 1) return true;
    ++failedWrites_;
    return false;
}

bool HidDeviceList::WriteOutput65(const uint8_t* report) {
    std::shared_ptr<Channel> channel = Selected();
    return channel && WriteWithRetry(channel, report, kOutputRetryPause);
}

bool HidDeviceList::WriteStreamOutput65(const uint8_t* report) {
    std::shared_ptr<Channel> channel = Streaming();
    if (!channel) return false;
    if (WriteOnce(channel, report) >= 1) return true;
    std::this_thread::sleep_for(kOutputRetryPause);
    WriteOnce(channel, report); // live frames come again soon: a lost one is not an error
    return true;
}

bool HidDeviceList::WriteOutput64(const uint8_t* payload) {
    std::shared_ptr<Channel> channel = Selected();
    if (!channel) return false;
    uint8_t report[kOutputLength] = {0x00};
    std::memcpy(report + 1, payload, kOutputLength - 1);
    return WriteWithRetry(channel, report, kPayloadRetryPause);
}

bool HidDeviceList::SendFeature8(const uint8_t* report) {
    std::shared_ptr<Channel> channel = Selected();
    if (!channel) return false;
    std::lock_guard lock(channel->mutex);
    if (channel->device && channel->device->SendFeatureReport(report, kFeatureLength) >= 0) return true;
    ++failedWrites_;
    return false;
}

int HidDeviceList::GetFeature8(uint8_t* report) {
    std::shared_ptr<Channel> channel = Selected();
    if (!channel) return -1;
    std::lock_guard lock(channel->mutex);
    return channel->device ? channel->device->GetFeatureReport(report, kFeatureLength) : -1;
}

} // namespace vantrel
