// RKTimer: named periodic timers whose callbacks arrive on the timer thread as OnMTimer.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "pelta/core/api.h"

namespace Pelta {

class PELTA_API RKTimer {
public:
    RKTimer();
    virtual ~RKTimer();
    RKTimer(const RKTimer&) = delete;
    RKTimer& operator=(const RKTimer&) = delete;

    // Called on the timer thread.
    virtual void OnMTimer(unsigned, const std::u16string&) {}
    virtual void OnMTimer(unsigned) {}

    // The timer's id (never 0).
    unsigned SetTimer(unsigned periodMs, const std::u16string& name, int appFlag);
    // Stop one timer, or every timer of a name; the number of timers left.
    size_t KillTimer(unsigned id);
    size_t KillTimer(const std::u16string& name);
    void KillTimer();
    int GetTimerIsRun(unsigned id) const;
    int GetTimerIsRun(const std::u16string& name) const;
    std::u16string GetTimerName(unsigned id) const;
    int IsAppTimer(unsigned id) const;
    // The object that owns id among all live RKTimer objects, or null.
    static RKTimer* GetFSTimer(unsigned id);

private:
    struct Record {
        unsigned id;
        uint64_t token;
        std::u16string name;
        int appFlag;
    };
    void Fire(unsigned id);
    template <class Match> size_t KillWhere(Match match);

    mutable std::mutex mutex_;
    std::vector<Record> timers_;
};

} // namespace Pelta
