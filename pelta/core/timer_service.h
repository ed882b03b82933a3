// One thread that runs every periodic and one-shot timer of the process. Periods are kept from
// start to start (absolute deadlines), so a 10 ms timer averages 10 ms however long a callback takes.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "pelta/core/api.h"

namespace Pelta {

class PELTA_API TimerService {
public:
    static TimerService& Instance();

    TimerService();
    ~TimerService();

    // Callbacks run on the timer thread. Returns a token, never 0.
    uint64_t Start(unsigned periodMs, std::function<void()> callback, bool oneShot = false);
    // After Stop returns the callback is not running and will not run again (unless Stop is called
    // from that very callback, which is allowed).
    void Stop(uint64_t token);

private:
    using Clock = std::chrono::steady_clock;
    struct Entry {
        Clock::time_point due;
        Clock::duration period;
        bool oneShot;
        std::function<void()> callback;
    };
    void Run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::map<uint64_t, Entry> entries_;
    uint64_t next_ = 1;
    uint64_t running_ = 0;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace Pelta
