// Arrival and removal notices of hidraw devices from udev, with the device's sysfs path.
#pragma once

#include <functional>
#include <string>
#include <thread>

struct udev;
struct udev_monitor;

namespace vantrel {

class UdevMonitor {
public:
    // Called on the monitor's own thread.
    using Handler = std::function<void(bool arrival, const std::string& path)>;

    explicit UdevMonitor(Handler handler);
    ~UdevMonitor();
    UdevMonitor(const UdevMonitor&) = delete;
    UdevMonitor& operator=(const UdevMonitor&) = delete;

    // False when udev is not available (containers, no /run/udev): no notices then.
    bool Start();

private:
    void Loop();

    Handler handler_;
    struct udev* udev_ = nullptr;
    struct udev_monitor* monitor_ = nullptr;
    int stopFd_ = -1;
    std::thread thread_;
};

} // namespace vantrel
