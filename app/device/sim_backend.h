// SimulatedHid: a HID backend made of simulated keyboards that can be plugged and unplugged on
// each of their connections. Each present connection shows the interfaces a real one does: the
// keyboard collection, the vendor configuration collection (usage page 0xFF01, usage 1), a second
// vendor collection (usage 2), and on a family-A cable the streaming interface (number 3).
// Thread-safe: the worker, the UI thread and the level-capture thread may use it at once.
#pragma once

#include "app/device/hid_backend.h"
#include "app/device/sim_keyboard.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vantrel {

struct SimKeyboardSpec {
    KeyboardFamily family = KeyboardFamily::kA;
    uint16_t vendorId = 0x1209;
    int productIds[3] = {-1, -1, -1}; // per connection mode 0, 1, 2; -1: the keyboard lacks it
};

class SimulatedHid final : public HidBackend {
public:
    // Arrival (true) or removal of an interface, with the path a device monitor would report.
    using NoticeHandler = std::function<void(bool arrival, const std::string& path)>;

    int AddKeyboard(const SimKeyboardSpec& spec);
    // Connects or disconnects one connection of a keyboard and sends the notices.
    void Plug(int keyboard, int mode);
    void Unplug(int keyboard, int mode);
    void SetNoticeHandler(NoticeHandler handler);
    // Opening the keyboard's interfaces fails for lack of permission, as a missing udev rule does.
    void DenyOpen(int keyboard, bool deny);

    // Runs `f` on a keyboard's firmware state under the simulator's lock.
    template <typename F>
    auto With(int keyboard, F&& f) {
        std::lock_guard lock(mutex_);
        return f(keyboards_.at(static_cast<size_t>(keyboard))->firmware);
    }

    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<HidDevice> Open(const std::string& path, OpenError* error) override;

    // The path a device monitor reports for a connection (USB or Bluetooth bus, ids, serial).
    std::string NoticePath(int keyboard, int mode) const;

private:
    struct Keyboard {
        SimKeyboardSpec spec;
        SimKeyboard firmware;
        bool present[3] = {false, false, false};
        int serial = 0;
        bool denyOpen = false;
    };
    friend class SimDevice;
    std::string PathOf(int keyboard, int mode, int interfaceNumber) const;

    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<Keyboard>> keyboards_;
    NoticeHandler notices_;
};

} // namespace vantrel
