#include "app/device/hid_device_list.h"

#include <algorithm>
#include <cctype>

namespace vantrel {

HidDeviceList::HidDeviceList(HidBackend& backend) : backend_(backend) {}

HidDeviceList::~HidDeviceList() {
    CloseAllInterfaces();
}

void HidDeviceList::AddSupportedInterface(const SupportedInterface& row) {
    std::lock_guard lock(mutex_);
    supported_.push_back(row);
}

std::vector<SupportedInterface> HidDeviceList::SupportedInterfaces() const {
    std::lock_guard lock(mutex_);
    return supported_;
}

const SupportedInterface* HidDeviceList::FindSupported(uint16_t vendorId, uint16_t productId,
                                                       std::u16string_view product) const {
    for (const SupportedInterface& row : supported_)
        if (row.vendorId == vendorId && row.productId == productId &&
            (row.productName.empty() || row.productName == product))
            return &row;
    return nullptr;
}

void HidDeviceList::ScanInterfaces() {
    const std::vector<HidInterfaceInfo> found = backend_.Enumerate();
    std::lock_guard lock(mutex_);
    inaccessible_.clear();
    for (const HidInterfaceInfo& info : found) {
        if (!FindSupported(info.vendorId, info.productId, info.product)) continue;
        std::string upper = info.path;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

        OpenError error = OpenError::kNone;
        std::unique_ptr<HidDevice> device = backend_.Open(info.path, &error);
        if (!device) {
            if (error == OpenError::kPermission) inaccessible_.push_back({info.path, info.vendorId, info.productId});
            continue;
        }
        if (info.usagePage != 0xFF01 || info.usage != 1) continue; // closed again as it goes

        auto channel = std::make_shared<Channel>();
        channel->device = std::move(device);
        if (info.interfaceNumber == kStreamingInterfaceNumber || upper.find("&MI_03") != std::string::npos) {
            streaming_ = std::move(channel);
            continue;
        }
        // Device type and mode come from the first row with these ids, whatever its name.
        OpenedInterface entry;
        entry.vendorId = info.vendorId;
        entry.productId = info.productId;
        entry.product = info.product;
        for (const SupportedInterface& row : supported_)
            if (row.vendorId == info.vendorId && row.productId == info.productId) {
                entry.deviceType = row.deviceType;
                entry.connectionMode = row.connectionMode;
                break;
            }
        entry.channel = std::move(channel);
        interfaces_.push_back(std::move(entry));
    }
}

void HidDeviceList::CloseAllInterfaces() {
    std::vector<std::shared_ptr<Channel>> closing;
    {
        std::lock_guard lock(mutex_);
        if (!opened_) return;
        opened_ = false;
        for (OpenedInterface& e : interfaces_) closing.push_back(std::move(e.channel));
        interfaces_.clear();
        if (streaming_) closing.push_back(std::move(streaming_));
        streaming_.reset();
        selected_.reset();
    }
    // Wait for a transfer in progress on another thread, then close.
    for (auto& channel : closing) {
        std::lock_guard lock(channel->mutex);
        channel->device.reset();
    }
}

void HidDeviceList::SetOpened(bool opened) {
    std::lock_guard lock(mutex_);
    opened_ = opened;
}

bool HidDeviceList::IsOpened() const {
    std::lock_guard lock(mutex_);
    return opened_;
}

void HidDeviceList::SetSelectedModel(int deviceType) {
    std::lock_guard lock(mutex_);
    selectedModel_ = deviceType;
}

int HidDeviceList::SelectedModel() const {
    std::lock_guard lock(mutex_);
    return selectedModel_;
}

void HidDeviceList::ForgetSelectedInterface() {
    std::lock_guard lock(mutex_);
    selected_.reset();
}

std::shared_ptr<HidDeviceList::Channel> HidDeviceList::Selected() {
    std::lock_guard lock(mutex_);
    if (!opened_) return nullptr;
    if (selected_) return selected_;
    for (int mode : {0, 1, 2})
        for (const OpenedInterface& e : interfaces_)
            if (e.deviceType == selectedModel_ && e.connectionMode == mode) return selected_ = e.channel;
    return nullptr;
}

std::shared_ptr<HidDeviceList::Channel> HidDeviceList::Streaming() {
    std::lock_guard lock(mutex_);
    return opened_ ? streaming_ : nullptr;
}

bool HidDeviceList::HasSelectedInterface() {
    return Selected() != nullptr;
}

int HidDeviceList::ConnectionKind() const {
    std::lock_guard lock(mutex_);
    bool has[3] = {false, false, false};
    for (const OpenedInterface& e : interfaces_)
        if (e.deviceType == selectedModel_ && e.connectionMode >= 0 && e.connectionMode <= 2) has[e.connectionMode] = true;
    if (has[0]) return 0;
    if (has[2]) return 2;
    if (has[1]) return 1;
    return -1;
}

bool HidDeviceList::CollectModelInterfaces(std::vector<int>* deviceTypes) const {
    std::lock_guard lock(mutex_);
    if (interfaces_.empty()) return false;
    for (const OpenedInterface& e : interfaces_)
        if (selectedModel_ == 0 || e.deviceType == selectedModel_) deviceTypes->push_back(e.deviceType);
    return true;
}

int HidDeviceList::FindOpenedInterface(int vendorId, int productId, std::u16string_view productName,
                                       int connectionMode) const {
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < interfaces_.size(); ++i) {
        const OpenedInterface& e = interfaces_[i];
        if (e.vendorId == vendorId && e.productId == productId && e.connectionMode == connectionMode &&
            (productName.empty() || e.product == productName))
            return static_cast<int>(i);
    }
    return -1;
}

int HidDeviceList::OpenedCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(interfaces_.size());
}

bool HidDeviceList::HasStreamingInterface() const {
    std::lock_guard lock(mutex_);
    return streaming_ != nullptr;
}

std::vector<InaccessibleInterface> HidDeviceList::Inaccessible() const {
    std::lock_guard lock(mutex_);
    return inaccessible_;
}

} // namespace vantrel
