// The real HID backend: hidapi over Linux hidraw.
#pragma once

#include "app/device/hid_backend.h"

namespace vantrel {

class HidapiBackend final : public HidBackend {
public:
    HidapiBackend();  // hid_init
    ~HidapiBackend() override; // hid_exit
    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<HidDevice> Open(const std::string& path, OpenError* error) override;

private:
    bool initialised_ = false;
};

} // namespace vantrel
