// What the device link needs of a HID library: enumerate interfaces, open one, and move output
// and feature reports. Two implementations: hidapi's hidraw backend (real keyboards) and the
// simulator (tests and --simulate).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantrel {

struct HidInterfaceInfo {
    std::string path;          // opens the interface
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t usagePage = 0;    // of the top-level collection
    uint16_t usage = 0;
    int interfaceNumber = -1;  // USB interface number, -1 when unknown
    std::u16string product;    // HID product string, may be empty
};

// One open interface. Calls block until the transfer is done; results follow hidapi: bytes
// moved, or -1 on failure.
class HidDevice {
public:
    virtual ~HidDevice() = default;
    virtual int Write(const uint8_t* data, size_t length) = 0;
    virtual int SendFeatureReport(const uint8_t* data, size_t length) = 0;
    // data[0] selects the report id; the reply replaces the buffer.
    virtual int GetFeatureReport(uint8_t* data, size_t length) = 0;
};

enum class OpenError { kNone, kPermission, kOther };

class HidBackend {
public:
    virtual ~HidBackend() = default;
    virtual std::vector<HidInterfaceInfo> Enumerate() = 0;
    virtual std::unique_ptr<HidDevice> Open(const std::string& path, OpenError* error) = 0;
};

} // namespace vantrel
