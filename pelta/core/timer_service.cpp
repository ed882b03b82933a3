#include "pelta/core/timer_service.h"

namespace Pelta {

TimerService& TimerService::Instance() {
    static TimerService service;
    return service;
}

TimerService::TimerService() : thread_([this] { Run(); }) {}

TimerService::~TimerService() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

uint64_t TimerService::Start(unsigned periodMs, std::function<void()> callback, bool oneShot) {
    const auto period = std::chrono::milliseconds(std::max(1u, periodMs));
    uint64_t token;
    {
        std::lock_guard lock(mutex_);
        token = next_++;
        entries_[token] = Entry{Clock::now() + period, period, oneShot, std::move(callback)};
    }
    wake_.notify_all();
    return token;
}

void TimerService::Stop(uint64_t token) {
    std::unique_lock lock(mutex_);
    entries_.erase(token);
    if (std::this_thread::get_id() == thread_.get_id()) return;
    finished_.wait(lock, [&] { return running_ != token; });
}

void TimerService::Run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        if (entries_.empty()) {
            wake_.wait(lock);
            continue;
        }
        auto soonest = entries_.begin();
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->second.due < soonest->second.due) soonest = it;
        // A copy: the entry may go while the lock is released.
        const Clock::time_point due = soonest->second.due;
        if (Clock::now() < due) {
            wake_.wait_until(lock, due);
            continue;
        }
        const uint64_t token = soonest->first;
        Entry& e = soonest->second;
        std::function<void()> callback = e.callback;
        if (e.oneShot) {
            entries_.erase(soonest);
        } else {
            e.due += e.period;
            // After a long stall, skip the missed periods instead of firing a burst.
            if (e.due < Clock::now()) e.due = Clock::now() + e.period;
        }
        running_ = token;
        lock.unlock();
        callback();
        lock.lock();
        running_ = 0;
        finished_.notify_all();
    }
}

} // namespace Pelta
