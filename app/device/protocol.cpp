#include "app/device/protocol.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace vantrel {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kCableResetPause{100};
constexpr milliseconds kWirelessResetPause{1600};
constexpr uint8_t kWirelessHeader[4] = {0xBB, 0xAA, 0x99, 0x88};

} // namespace

bool ReadAssignmentSlots(HidDeviceList& link, SlotTable* table, bool* complete) {
    if (complete) *complete = false;
    if (!link.IsOpened() || !link.HasSelectedInterface()) return false;
    int answered = 0;
    uint8_t request[HidDeviceList::kFeatureLength] = {0x07, 0xFB, 0x01};
    table->fill(0);
    std::memcpy(table->data(), request, 7);
    link.SendFeature8(request); // the reads follow whatever the send returned
    for (size_t r = 0; r < 4; ++r) {
        request[0] = 0x07;
        request[1] = 0xFB;
        request[2] = 0x01;
        std::this_thread::sleep_for(kFeaturePause);
        if (link.GetFeature8(request) > 0) {
            std::memcpy(table->data() + 7 * r, request + 1, 7);
            if (request[0] == 0x07) ++answered;
        }
    }
    if (complete) *complete = answered == 4;
    return true;
}

bool ReadFirmwareVersion(HidDeviceList& link, uint16_t* version) {
    if (!link.IsOpened() || !link.HasSelectedInterface()) return false;
    uint8_t request[HidDeviceList::kFeatureLength] = {0x07, 0xFD};
    std::this_thread::sleep_for(kFeaturePause);
    if (!link.SendFeature8(request)) return false;
    std::this_thread::sleep_for(kFeaturePause);
    link.GetFeature8(request);
    if (request[0] != 0x07) {
        std::this_thread::sleep_for(kFeaturePause);
        request[0] = 0x07;
        request[1] = 0xFD;
        link.GetFeature8(request);
    }
    *version = static_cast<uint16_t>(request[1] << 8 | request[2]);
    return true;
}

int FirmwareVersionNumber(uint16_t version) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%X", version);
    // Hex digits A-F are not decimal; they end the number as a decimal conversion would.
    return std::atoi(hex);
}

void SendFactoryReset(HidDeviceList& link, KeyboardFamily family, int connectionKind) {
    if (family == KeyboardFamily::kA) {
        uint8_t report[HidDeviceList::kOutputLength] = {0x00, 0xFF, 0xFE, 0xAA, 0xFF};
        link.WriteOutput65(report);
        std::this_thread::sleep_for(kCableResetPause);
    } else if (family == KeyboardFamily::kB && connectionKind == 0) {
        uint8_t report[HidDeviceList::kFeatureLength] = {0x07, 0xF0, 0xAA};
        std::this_thread::sleep_for(kFeaturePause);
        link.SendFeature8(report);
        std::this_thread::sleep_for(kCableResetPause);
    } else if (family == KeyboardFamily::kB) {
        uint8_t payload[64] = {};
        std::memcpy(payload, kWirelessHeader, 4);
        std::memset(payload + 4, 0xAA, 6);
        link.WriteOutput64(payload);
        std::this_thread::sleep_for(kWirelessResetPause);
        std::memset(payload + 4, 0x00, 6);
        link.WriteOutput64(payload);
    }
}

} // namespace vantrel
