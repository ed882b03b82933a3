#include "app/device/sim_backend.h"

#include <cstdio>

namespace vantrel {

// An open interface of a simulated keyboard; fails once its connection is unplugged.
class SimDevice final : public HidDevice {
public:
    SimDevice(SimulatedHid& hid, int keyboard, int mode, int interfaceNumber)
        : hid_(hid), keyboard_(keyboard), mode_(mode), interface_(interfaceNumber) {}

    int Write(const uint8_t* data, size_t length) override {
        std::lock_guard lock(hid_.mutex_);
        SimKeyboard* k = Live();
        return k && k->Output(mode_, interface_, data, length) ? static_cast<int>(length) : -1;
    }
    int SendFeatureReport(const uint8_t* data, size_t length) override {
        std::lock_guard lock(hid_.mutex_);
        SimKeyboard* k = Live();
        return k && k->FeatureOut(mode_, data, length) ? static_cast<int>(length) : -1;
    }
    int GetFeatureReport(uint8_t* data, size_t length) override {
        std::lock_guard lock(hid_.mutex_);
        SimKeyboard* k = Live();
        return k ? k->FeatureIn(mode_, data, length) : -1;
    }

private:
    SimKeyboard* Live() {
        auto& kb = *hid_.keyboards_[static_cast<size_t>(keyboard_)];
        return kb.present[mode_] && !kb.firmware.Vanished() ? &kb.firmware : nullptr;
    }
    SimulatedHid& hid_;
    int keyboard_, mode_, interface_;
};

int SimulatedHid::AddKeyboard(const SimKeyboardSpec& spec) {
    std::lock_guard lock(mutex_);
    auto kb = std::make_unique<Keyboard>(Keyboard{spec, SimKeyboard(spec.family), {false, false, false}, 0, false});
    kb->serial = static_cast<int>(keyboards_.size()) + 1;
    keyboards_.push_back(std::move(kb));
    return static_cast<int>(keyboards_.size()) - 1;
}

std::string SimulatedHid::NoticePath(int keyboard, int mode) const {
    const Keyboard& kb = *keyboards_.at(static_cast<size_t>(keyboard));
    char name[96];
    std::snprintf(name, sizeof name, "/sys/devices/virtual/vantrel-sim/%04X:%04X:%04X.%04X/hidraw/hidraw%d",
                  mode == 2 ? 0x0005 : 0x0003, kb.spec.vendorId, kb.spec.productIds[mode], kb.serial,
                  kb.serial * 3 + mode);
    return name;
}

std::string SimulatedHid::PathOf(int keyboard, int mode, int interfaceNumber) const {
    return "sim:" + std::to_string(keyboard) + ":" + std::to_string(mode) + ":" + std::to_string(interfaceNumber);
}

void SimulatedHid::SetNoticeHandler(NoticeHandler handler) {
    std::lock_guard lock(mutex_);
    notices_ = std::move(handler);
}

void SimulatedHid::DenyOpen(int keyboard, bool deny) {
    std::lock_guard lock(mutex_);
    keyboards_.at(static_cast<size_t>(keyboard))->denyOpen = deny;
}

void SimulatedHid::Plug(int keyboard, int mode) {
    NoticeHandler notify;
    std::string path;
    {
        std::lock_guard lock(mutex_);
        Keyboard& kb = *keyboards_.at(static_cast<size_t>(keyboard));
        if (kb.spec.productIds[mode] < 0 || kb.present[mode]) return;
        kb.present[mode] = true;
        kb.firmware.Reappear();
        notify = notices_;
        path = NoticePath(keyboard, mode);
    }
    if (notify) notify(true, path);
}

void SimulatedHid::Unplug(int keyboard, int mode) {
    NoticeHandler notify;
    std::string path;
    {
        std::lock_guard lock(mutex_);
        Keyboard& kb = *keyboards_.at(static_cast<size_t>(keyboard));
        if (!kb.present[mode]) return;
        kb.present[mode] = false;
        notify = notices_;
        path = NoticePath(keyboard, mode);
    }
    if (notify) notify(false, path);
}

std::vector<HidInterfaceInfo> SimulatedHid::Enumerate() {
    std::lock_guard lock(mutex_);
    std::vector<HidInterfaceInfo> out;
    for (size_t k = 0; k < keyboards_.size(); ++k) {
        const Keyboard& kb = *keyboards_[k];
        if (kb.firmware.Vanished()) continue;
        for (int mode = 0; mode < 3; ++mode) {
            if (!kb.present[mode]) continue;
            auto add = [&](uint16_t page, uint16_t usage, int number) {
                HidInterfaceInfo info;
                info.path = PathOf(static_cast<int>(k), mode, number);
                info.vendorId = kb.spec.vendorId;
                info.productId = static_cast<uint16_t>(kb.spec.productIds[mode]);
                info.usagePage = page;
                info.usage = usage;
                info.interfaceNumber = number;
                out.push_back(info);
            };
            add(0x0001, 0x0006, 0); // the keyboard itself
            add(0xFF01, 0x0001, 1); // vendor configuration collection
            add(0xFF01, 0x0002, 2); // another vendor collection: opened and closed again
            if (kb.spec.family == KeyboardFamily::kA && mode == 0) add(0xFF01, 0x0001, 3); // streaming
        }
    }
    return out;
}

std::unique_ptr<HidDevice> SimulatedHid::Open(const std::string& path, OpenError* error) {
    *error = OpenError::kOther;
    int keyboard = -1, mode = -1, number = -1;
    if (std::sscanf(path.c_str(), "sim:%d:%d:%d", &keyboard, &mode, &number) != 3) return nullptr;
    std::lock_guard lock(mutex_);
    if (keyboard < 0 || static_cast<size_t>(keyboard) >= keyboards_.size() || mode < 0 || mode > 2) return nullptr;
    const Keyboard& kb = *keyboards_[static_cast<size_t>(keyboard)];
    if (!kb.present[mode]) return nullptr;
    if (kb.denyOpen) {
        *error = OpenError::kPermission;
        return nullptr;
    }
    *error = OpenError::kNone;
    return std::make_unique<SimDevice>(*this, keyboard, mode, number);
}

} // namespace vantrel
