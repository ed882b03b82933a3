#include "app/device/hid_trace.h"

namespace vantrel {
namespace {

class TracingDevice final : public HidDevice {
public:
    TracingDevice(TracingBackend& trace, std::string path, std::unique_ptr<HidDevice> inner)
        : trace_(trace), path_(std::move(path)), inner_(std::move(inner)) {}
    int Write(const uint8_t* data, size_t length) override {
        int rc = inner_->Write(data, length);
        trace_.Record(rc >= 0 ? "out" : "out-failed", path_, data, static_cast<int>(length));
        return rc;
    }
    int SendFeatureReport(const uint8_t* data, size_t length) override {
        int rc = inner_->SendFeatureReport(data, length);
        trace_.Record(rc >= 0 ? "feature-out" : "feature-out-failed", path_, data, static_cast<int>(length));
        return rc;
    }
    int GetFeatureReport(uint8_t* data, size_t length) override {
        int rc = inner_->GetFeatureReport(data, length);
        trace_.Record(rc >= 0 ? "feature-in" : "feature-in-failed", path_, data, rc >= 0 ? rc : 0);
        return rc;
    }

private:
    TracingBackend& trace_;
    std::string path_;
    std::unique_ptr<HidDevice> inner_;
};

} // namespace

TracingBackend::TracingBackend(HidBackend& inner, const std::filesystem::path& file)
    : inner_(inner), file_(std::fopen(file.c_str(), "a")) {}

TracingBackend::~TracingBackend() {
    if (file_) std::fclose(file_);
}

std::unique_ptr<HidDevice> TracingBackend::Open(const std::string& path, OpenError* error) {
    auto device = inner_.Open(path, error);
    if (!device) return nullptr;
    return std::make_unique<TracingDevice>(*this, path, std::move(device));
}

void TracingBackend::Record(const char* direction, const std::string& path, const uint8_t* data, int length) {
    if (!file_) return;
    const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
    std::lock_guard lock(mutex_);
    std::fprintf(file_, "%10.3f %-18s %s", ms, direction, path.c_str());
    for (int i = 0; i < length; ++i) std::fprintf(file_, " %02X", data[i]);
    std::fputc('\n', file_);
    std::fflush(file_);
}

} // namespace vantrel
