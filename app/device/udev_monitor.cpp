#include "app/device/udev_monitor.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace vantrel {

UdevMonitor::UdevMonitor(Handler handler) : handler_(std::move(handler)) {}

UdevMonitor::~UdevMonitor() {
    if (thread_.joinable()) {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t ignored = ::write(stopFd_, &one, sizeof one);
        thread_.join();
    }
    if (stopFd_ >= 0) ::close(stopFd_);
    if (monitor_) udev_monitor_unref(monitor_);
    if (udev_) udev_unref(udev_);
}

bool UdevMonitor::Start() {
    udev_ = udev_new();
    if (!udev_) return false;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor_ || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0)
        return false;
    stopFd_ = ::eventfd(0, EFD_CLOEXEC);
    if (stopFd_ < 0) return false;
    thread_ = std::thread([this] { Loop(); });
    return true;
}

void UdevMonitor::Loop() {
    const int fd = udev_monitor_get_fd(monitor_);
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        udev_device* device = udev_monitor_receive_device(monitor_);
        if (!device) continue;
        const char* action = udev_device_get_action(device);
        const char* path = udev_device_get_syspath(device);
        if (action && path) {
            if (std::strcmp(action, "add") == 0) handler_(true, path);
            else if (std::strcmp(action, "remove") == 0) handler_(false, path);
        }
        udev_device_unref(device);
    }
}

} // namespace vantrel
