#include "app/core/thread_basic.h"

namespace vantrel {

CThreadBasic::~CThreadBasic() {
    Join();
}

bool CThreadBasic::Start(std::chrono::milliseconds period, bool looping) {
    std::unique_lock lock(mutex_);
    if (running_) return false;
    if (thread_.joinable()) { // an earlier run that outlived its stop
        lock.unlock();
        thread_.join();
        lock.lock();
    }
    period_ = period;
    looping_ = looping;
    startTime_ = std::chrono::steady_clock::now();
    done_ = false;
    running_ = true;
    thread_ = std::thread([this] { ThreadMain(); });
    return true;
}

bool CThreadBasic::Stop() {
    std::unique_lock lock(mutex_);
    if (!running_) return done_;
    running_ = false;
    wake_.notify_all();
    bool finished = finished_.wait_for(lock, kStopWait, [this] { return done_; });
    lock.unlock();
    if (finished && thread_.joinable()) thread_.join();
    return finished;
}

void CThreadBasic::Join() {
    {
        std::lock_guard lock(mutex_);
        running_ = false;
        wake_.notify_all();
    }
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

bool CThreadBasic::IsRunning() const {
    std::lock_guard lock(mutex_);
    return running_;
}

bool CThreadBasic::SleepFor(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, duration, [this] { return !running_; });
}

bool CThreadBasic::SleepUntil(std::chrono::steady_clock::time_point when) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_until(lock, when, [this] { return !running_; });
}

void CThreadBasic::ThreadMain() {
    if (!looping_) {
        Run();
    } else {
        // The period is kept from start to start, so a body that takes a few milliseconds does
        // not stretch it.
        auto next = std::chrono::steady_clock::now();
        for (;;) {
            {
                std::lock_guard lock(mutex_);
                if (!running_) break;
            }
            Run();
            next += period_;
            const auto now = std::chrono::steady_clock::now();
            if (next < now) next = now; // a long task: the next period starts at once
            if (!SleepUntil(next)) break;
        }
    }
    std::lock_guard lock(mutex_);
    done_ = true;
    finished_.notify_all();
}

} // namespace vantrel
