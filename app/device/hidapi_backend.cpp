#include "app/device/hidapi_backend.h"

#include "app/core/text_encoding.h"

#include <hidapi/hidapi.h>
#include <unistd.h>

#include <cerrno>
#include <cwchar>

namespace vantrel {
namespace {

class HidapiDevice final : public HidDevice {
public:
    explicit HidapiDevice(hid_device* device) : device_(device) {}
    ~HidapiDevice() override { hid_close(device_); }
    int Write(const uint8_t* data, size_t length) override { return hid_write(device_, data, length); }
    int SendFeatureReport(const uint8_t* data, size_t length) override {
        return hid_send_feature_report(device_, data, length);
    }
    int GetFeatureReport(uint8_t* data, size_t length) override {
        return hid_get_feature_report(device_, data, length);
    }

private:
    hid_device* device_;
};

std::u16string FromWide(const wchar_t* text) {
    std::u16string out;
    for (; text && *text; ++text) AppendCodePoint(out, static_cast<char32_t>(*text));
    return out;
}

} // namespace

HidapiBackend::HidapiBackend() : initialised_(hid_init() == 0) {}

HidapiBackend::~HidapiBackend() {
    if (initialised_) hid_exit();
}

std::vector<HidInterfaceInfo> HidapiBackend::Enumerate() {
    std::vector<HidInterfaceInfo> out;
    if (!initialised_) return out;
    hid_device_info* list = hid_enumerate(0, 0);
    for (hid_device_info* d = list; d; d = d->next) {
        HidInterfaceInfo info;
        info.path = d->path ? d->path : "";
        info.vendorId = d->vendor_id;
        info.productId = d->product_id;
        info.usagePage = d->usage_page;
        info.usage = d->usage;
        info.interfaceNumber = d->interface_number;
        info.product = FromWide(d->product_string);
        out.push_back(std::move(info));
    }
    hid_free_enumeration(list);
    return out;
}

std::unique_ptr<HidDevice> HidapiBackend::Open(const std::string& path, OpenError* error) {
    *error = OpenError::kNone;
    if (!initialised_) {
        *error = OpenError::kOther;
        return nullptr;
    }
    hid_device* device = hid_open_path(path.c_str());
    if (!device) {
        // hidapi does not say why; the device node does.
        *error = (::access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES) ? OpenError::kPermission
                                                                                : OpenError::kOther;
        return nullptr;
    }
    return std::make_unique<HidapiDevice>(device);
}

} // namespace vantrel
