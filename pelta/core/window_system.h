// The seam between Pelta and the native windowing system: native windows, the message queue,
// window timers and input state. SdlWindowSystem drives real windows; HeadlessWindowSystem runs the
// same window code without a display, with synthetic input.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "pelta/core/api.h"
#include "pelta/core/control.h"
#include "pelta/core/messages.h"

namespace Pelta {

// What a native window is to the desktop: tooltips and menus never take the focus from their owner.
enum class WindowKind { Normal, Utility, PopupMenu, Tooltip };

struct WindowParams {
    std::string title;
    CRect rect;          // screen coordinates
    HWND owner = 0;      // stays above its owner
    bool toolWindow = false; // popups, menus, tooltips: no taskbar entry
    bool topMost = false;
    WindowKind kind = WindowKind::Normal;
};

class PELTA_API NativeWindow {
public:
    virtual ~NativeWindow() = default;
    virtual void Show(int showCommand) = 0;
    virtual bool IsVisible() const = 0;
    virtual bool IsMinimized() const = 0;
    virtual bool IsMaximized() const = 0;
    virtual CRect GetWindowRect() const = 0; // screen
    virtual void SetWindowRect(CRect rect) = 0;
    // 0 means no limit; sizes asked for later are kept inside them.
    virtual void SetSizeLimits(CSize minimum, CSize maximum) = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual std::string GetTitle() const = 0;
    virtual void SetTopMost(bool topMost) = 0;
    virtual void SetOpacity(double opacity) = 0;
    virtual void Raise() = 0;
    virtual void SetCapture(bool capture) = 0;
    virtual void SetCursor(CursorKind cursor) = 0;
    // Copies area of the window-sized ARGB32 picture to the screen.
    virtual void Present(cairo_surface_t* picture, CRect area) = 0;
};

class PELTA_API WindowSystem {
public:
    virtual ~WindowSystem();

    // The process's window system: the installed one, else SDL when a display opens, else headless.
    static WindowSystem& Current();
    static void Install(std::unique_ptr<WindowSystem> system);
    // For timer threads: posts to the installed system, and never creates one.
    static void PostToInstalled(const MSG& msg);
    static void KillTimersIfInstalled(HWND hwnd);

    virtual std::unique_ptr<NativeWindow> CreateNativeWindow(HWND handle, const WindowParams& params) = 0;
    virtual bool IsKeyDown(unsigned vk) const = 0;
    virtual CRect WorkArea() const = 0;
    virtual CPoint CursorPos() const = 0; // screen

    // Any thread.
    void Post(const MSG& msg);
    void PostQuit(int code);
    // Blocks until a message arrives; false for WM_QUIT (msg then holds its code).
    bool GetMessage(MSG& msg);
    // Takes a queued (or pending native) message without waiting.
    bool PeekMessage(MSG& msg);

    // Window timers: WM_TIMER with wParam id to hwnd every periodMs. False when refused.
    bool SetTimer(HWND hwnd, unsigned id, unsigned periodMs);
    void KillTimer(HWND hwnd, unsigned id);
    void KillTimers(HWND hwnd);

protected:
    // Turn pending native events into queued messages (Enqueue); wait up to timeoutMs for one
    // when the queue is empty (-1: forever).
    virtual void ReadNativeEvents(int timeoutMs) = 0;
    // Wake a thread blocked in ReadNativeEvents (any thread).
    virtual void Wake() = 0;
    void Enqueue(const MSG& msg);

    std::mutex queueMutex_;
    std::deque<MSG> queue_;

private:
    std::mutex timerMutex_;
    std::map<std::pair<HWND, unsigned>, uint64_t> timers_;
};

} // namespace Pelta
