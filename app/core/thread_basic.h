// CThreadBasic: a thread that calls its body once or periodically until asked to stop.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vantrel {

class CThreadBasic {
public:
    static constexpr std::chrono::milliseconds kStopWait{1000};

    CThreadBasic() = default;
    virtual ~CThreadBasic();
    CThreadBasic(const CThreadBasic&) = delete;
    CThreadBasic& operator=(const CThreadBasic&) = delete;

    // Starts the thread unless it runs already. Looping: call Run, sleep `period`, repeat.
    bool Start(std::chrono::milliseconds period, bool looping = true);
    // Asks the thread to stop and waits at most one second for it to finish; true when it did.
    // A thread still busy after that is joined by Join or the destructor.
    bool Stop();
    bool IsRunning() const;
    std::chrono::steady_clock::time_point StartTime() const { return startTime_; }

protected:
    // The body; called on the thread.
    virtual void Run() = 0;
    // Sleeps on the thread, waking early when a stop is asked. False when stopping.
    bool SleepFor(std::chrono::milliseconds duration);
    bool SleepUntil(std::chrono::steady_clock::time_point when);
    // Waits for the thread without limit. A derived class calls it in its destructor, so that
    // the thread never calls Run on a half-destroyed object.
    void Join();

private:
    void ThreadMain();

    mutable std::mutex mutex_;
    std::condition_variable wake_;     // stop requests
    std::condition_variable finished_; // the thread left
    bool running_ = false;
    bool done_ = true;
    bool looping_ = true;
    std::chrono::milliseconds period_{0};
    std::chrono::steady_clock::time_point startTime_{};
    std::thread thread_;
};

} // namespace vantrel
