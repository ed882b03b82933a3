// A HID backend that writes every report sent and received to a file, then passes it on.
// One line each: milliseconds since start, direction, interface path, bytes in hex.
#pragma once

#include "app/device/hid_backend.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>

namespace vantrel {

class TracingBackend final : public HidBackend {
public:
    TracingBackend(HidBackend& inner, const std::filesystem::path& file);
    ~TracingBackend() override;
    bool IsOpen() const { return file_ != nullptr; }

    std::vector<HidInterfaceInfo> Enumerate() override { return inner_.Enumerate(); }
    std::unique_ptr<HidDevice> Open(const std::string& path, OpenError* error) override;

    void Record(const char* direction, const std::string& path, const uint8_t* data, int length);

private:
    HidBackend& inner_;
    std::FILE* file_;
    std::mutex mutex_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

} // namespace vantrel
