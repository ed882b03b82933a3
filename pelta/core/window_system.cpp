#include "pelta/core/window_system.h"

#include "pelta/core/headless_window_system.h"
#include "pelta/core/sdl_window_system.h"
#include "pelta/core/timer_service.h"

namespace Pelta {

namespace {
std::mutex installMutex;
std::unique_ptr<WindowSystem>& Installed() {
    static std::unique_ptr<WindowSystem> system;
    return system;
}
} // namespace

WindowSystem::~WindowSystem() {
    std::map<std::pair<HWND, unsigned>, uint64_t> timers;
    {
        std::lock_guard lock(timerMutex_);
        timers.swap(timers_);
    }
    for (auto& [key, token] : timers) TimerService::Instance().Stop(token);
}

WindowSystem& WindowSystem::Current() {
    std::lock_guard lock(installMutex);
    if (!Installed()) {
        if (auto sdl = SdlWindowSystem::Open())
            Installed() = std::move(sdl);
        else
            Installed() = std::make_unique<HeadlessWindowSystem>();
    }
    return *Installed();
}

void WindowSystem::Install(std::unique_ptr<WindowSystem> system) {
    std::lock_guard lock(installMutex);
    Installed() = std::move(system);
}

void WindowSystem::PostToInstalled(const MSG& msg) {
    std::lock_guard lock(installMutex);
    if (Installed()) Installed()->Post(msg);
}

void WindowSystem::KillTimersIfInstalled(HWND hwnd) {
    WindowSystem* system;
    {
        std::lock_guard lock(installMutex);
        system = Installed().get();
    }
    if (system) system->KillTimers(hwnd);
}

void WindowSystem::Enqueue(const MSG& msg) {
    std::lock_guard lock(queueMutex_);
    queue_.push_back(msg);
}

void WindowSystem::Post(const MSG& msg) {
    Enqueue(msg);
    Wake();
}

void WindowSystem::PostQuit(int code) { Post(MSG{0, WM_QUIT, static_cast<unsigned>(code), 0}); }

bool WindowSystem::PeekMessage(MSG& msg) {
    ReadNativeEvents(0);
    std::lock_guard lock(queueMutex_);
    if (queue_.empty()) return false;
    msg = queue_.front();
    queue_.pop_front();
    return true;
}

bool WindowSystem::GetMessage(MSG& msg) {
    for (;;) {
        {
            std::lock_guard lock(queueMutex_);
            if (!queue_.empty()) {
                msg = queue_.front();
                queue_.pop_front();
                return msg.message != WM_QUIT;
            }
        }
        ReadNativeEvents(-1);
    }
}

bool WindowSystem::SetTimer(HWND hwnd, unsigned id, unsigned periodMs) {
    if (!hwnd) return false;
    KillTimer(hwnd, id);
    const uint64_t token =
        TimerService::Instance().Start(periodMs, [this, hwnd, id] { Post(MSG{hwnd, WM_TIMER, id, 0}); });
    std::lock_guard lock(timerMutex_);
    timers_[{hwnd, id}] = token;
    return true;
}

void WindowSystem::KillTimer(HWND hwnd, unsigned id) {
    uint64_t token = 0;
    {
        std::lock_guard lock(timerMutex_);
        auto it = timers_.find({hwnd, id});
        if (it == timers_.end()) return;
        token = it->second;
        timers_.erase(it);
    }
    TimerService::Instance().Stop(token);
}

void WindowSystem::KillTimers(HWND hwnd) {
    std::vector<uint64_t> tokens;
    {
        std::lock_guard lock(timerMutex_);
        for (auto it = timers_.lower_bound({hwnd, 0}); it != timers_.end() && it->first.first == hwnd;) {
            tokens.push_back(it->second);
            it = timers_.erase(it);
        }
    }
    for (uint64_t t : tokens) TimerService::Instance().Stop(t);
}

} // namespace Pelta
