#include "app/core/device_task_queue.h"

namespace vantrel {

void DeviceTaskQueue::Queue(int code) {
    std::lock_guard lock(mutex_);
    codes_.push_back(code);
}

std::optional<int> DeviceTaskQueue::Front() const {
    std::lock_guard lock(mutex_);
    if (codes_.empty()) return std::nullopt;
    return codes_.front();
}

void DeviceTaskQueue::RemoveFront() {
    std::lock_guard lock(mutex_);
    if (!codes_.empty()) codes_.pop_front();
}

bool DeviceTaskQueue::Empty() const {
    std::lock_guard lock(mutex_);
    return codes_.empty();
}

size_t DeviceTaskQueue::Size() const {
    std::lock_guard lock(mutex_);
    return codes_.size();
}

} // namespace vantrel
