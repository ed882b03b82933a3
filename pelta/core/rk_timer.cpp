#include "pelta/core/rk_timer.h"

#include <algorithm>
#include <atomic>
#include <set>

#include "pelta/core/timer_service.h"

namespace Pelta {

namespace {
std::mutex& RegistryMutex() {
    static std::mutex m;
    return m;
}
std::set<RKTimer*>& Registry() {
    static std::set<RKTimer*> all;
    return all;
}
std::atomic<unsigned> nextId{1};
} // namespace

RKTimer::RKTimer() {
    std::lock_guard lock(RegistryMutex());
    Registry().insert(this);
}

RKTimer::~RKTimer() {
    KillTimer();
    std::lock_guard lock(RegistryMutex());
    Registry().erase(this);
}

unsigned RKTimer::SetTimer(unsigned periodMs, const std::u16string& name, int appFlag) {
    const unsigned id = nextId++;
    // Recorded before it can fire, so the first callback finds its name.
    std::lock_guard lock(mutex_);
    const uint64_t token = TimerService::Instance().Start(periodMs, [this, id] { Fire(id); });
    timers_.push_back({id, token, name, appFlag});
    return id;
}

void RKTimer::Fire(unsigned id) {
    std::u16string name;
    int app = 0;
    {
        std::lock_guard lock(mutex_);
        auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Record& r) { return r.id == id; });
        if (it == timers_.end()) return;
        name = it->name;
        app = it->appFlag;
    }
    OnMTimer(id);
    if (app) OnMTimer(id, name);
}

template <class Match> size_t RKTimer::KillWhere(Match match) {
    std::vector<uint64_t> tokens;
    size_t left;
    {
        std::lock_guard lock(mutex_);
        for (auto it = timers_.begin(); it != timers_.end();)
            if (match(*it)) {
                tokens.push_back(it->token);
                it = timers_.erase(it);
            } else {
                ++it;
            }
        left = timers_.size();
    }
    // Outside the lock: a callback in flight may be waiting for it.
    for (uint64_t t : tokens) TimerService::Instance().Stop(t);
    return left;
}

size_t RKTimer::KillTimer(unsigned id) {
    return KillWhere([&](const Record& r) { return r.id == id; });
}

size_t RKTimer::KillTimer(const std::u16string& name) {
    return KillWhere([&](const Record& r) { return r.name == name; });
}

void RKTimer::KillTimer() {
    std::vector<Record> all;
    {
        std::lock_guard lock(mutex_);
        all.swap(timers_);
    }
    for (const Record& r : all) TimerService::Instance().Stop(r.token);
}

int RKTimer::GetTimerIsRun(unsigned id) const {
    std::lock_guard lock(mutex_);
    return std::any_of(timers_.begin(), timers_.end(), [&](const Record& r) { return r.id == id; });
}

int RKTimer::GetTimerIsRun(const std::u16string& name) const {
    std::lock_guard lock(mutex_);
    return std::any_of(timers_.begin(), timers_.end(), [&](const Record& r) { return r.name == name; });
}

std::u16string RKTimer::GetTimerName(unsigned id) const {
    std::lock_guard lock(mutex_);
    for (const Record& r : timers_)
        if (r.id == id) return r.name;
    return {};
}

int RKTimer::IsAppTimer(unsigned id) const {
    std::lock_guard lock(mutex_);
    for (const Record& r : timers_)
        if (r.id == id) return r.appFlag;
    return 0;
}

RKTimer* RKTimer::GetFSTimer(unsigned id) {
    std::lock_guard lock(RegistryMutex());
    for (RKTimer* t : Registry())
        if (t->GetTimerIsRun(id)) return t;
    return nullptr;
}

} // namespace Pelta
