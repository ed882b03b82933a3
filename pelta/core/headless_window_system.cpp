#include "pelta/core/headless_window_system.h"

#include <algorithm>

#include "pelta/core/manager.h"
#include "pelta/core/window.h"

namespace Pelta {

HeadlessWindow::HeadlessWindow(const WindowParams& params) : rect_(params.rect), title_(params.title) {
    topMost_ = params.topMost;
    screen_ = CreateArgbSurface(rect_.Width(), rect_.Height());
}

void HeadlessWindow::Show(int cmd) {
    visible_ = cmd != SW_HIDE;
    minimized_ = cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED;
    if (cmd == SW_MAXIMIZE) maximized_ = true;
    if (cmd == SW_RESTORE) maximized_ = minimized_ = false;
}

void HeadlessWindow::SetWindowRect(CRect rect) {
    auto limit = [](int v, int lo, int hi) {
        if (hi > 0) v = std::min(v, hi);
        return lo > 0 ? std::max(v, lo) : v;
    };
    rect = CRect::FromSize(rect.left, rect.top, limit(rect.Width(), min_.cx, max_.cx), limit(rect.Height(), min_.cy, max_.cy));
    if (rect.Width() != rect_.Width() || rect.Height() != rect_.Height())
        screen_ = CreateArgbSurface(rect.Width(), rect.Height());
    rect_ = rect;
}

void HeadlessWindow::Present(cairo_surface_t* picture, CRect area) {
    ++presents_;
    if (!screen_ || !picture) return;
    ContextPtr cr(cairo_create(screen_.get()));
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(cr.get(), area.left, area.top, area.Width(), area.Height());
    cairo_clip(cr.get());
    cairo_set_source_surface(cr.get(), picture, 0, 0);
    cairo_paint(cr.get());
}

std::unique_ptr<NativeWindow> HeadlessWindowSystem::CreateNativeWindow(HWND, const WindowParams& params) {
    return std::make_unique<HeadlessWindow>(params);
}

bool HeadlessWindowSystem::IsKeyDown(unsigned vk) const { return keysDown_.count(vk) > 0; }

void HeadlessWindowSystem::ReadNativeEvents(int timeoutMs) {
    std::unique_lock lock(queueMutex_);
    if (timeoutMs < 0)
        arrived_.wait(lock, [&] { return !queue_.empty(); });
    else if (timeoutMs > 0)
        arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !queue_.empty(); });
}

void HeadlessWindowSystem::Wake() {
    std::lock_guard lock(queueMutex_);
    arrived_.notify_all();
}

CPoint HeadlessWindowSystem::ToScreen(HWND hwnd, int x, int y) const {
    MWindow* w = Manager::FindWnd(hwnd);
    const CRect r = w ? w->GetWindowRect() : CRect{};
    return {r.left + x, r.top + y};
}

unsigned HeadlessWindowSystem::ButtonFlags() const {
    return buttons_ | (IsKeyDown(VK_SHIFT) ? MK_SHIFT : 0u) | (IsKeyDown(VK_CONTROL) ? MK_CONTROL : 0u);
}

void HeadlessWindowSystem::PostInput(HWND hwnd, unsigned msg, unsigned wParam, long lParam) {
    const unsigned keys = (IsKeyDown(VK_SHIFT) ? KS_SHIFT : 0u) | (IsKeyDown(VK_CONTROL) ? KS_CTRL : 0u) |
                          (IsKeyDown(VK_MENU) ? KS_ALT : 0u);
    Post({hwnd, msg, wParam, lParam, cursor_, keys});
}

void HeadlessWindowSystem::MouseMove(HWND hwnd, int x, int y) {
    cursor_ = ToScreen(hwnd, x, y);
    PostInput(hwnd, WM_MOUSEMOVE, ButtonFlags(), MakePointParam(x, y));
}

void HeadlessWindowSystem::MouseDown(HWND hwnd, int x, int y, bool right) {
    MouseMove(hwnd, x, y);
    buttons_ |= right ? MK_RBUTTON : MK_LBUTTON;
    PostInput(hwnd, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, ButtonFlags(), MakePointParam(x, y));
}

void HeadlessWindowSystem::MouseUp(HWND hwnd, int x, int y, bool right) {
    MouseMove(hwnd, x, y);
    buttons_ &= ~(right ? MK_RBUTTON : MK_LBUTTON);
    PostInput(hwnd, right ? WM_RBUTTONUP : WM_LBUTTONUP, ButtonFlags(), MakePointParam(x, y));
}

void HeadlessWindowSystem::Click(HWND hwnd, int x, int y, bool right) {
    MouseDown(hwnd, x, y, right);
    MouseUp(hwnd, x, y, right);
}

// As on the desktop: down, up, then a double-click message in place of the second down, then up.
void HeadlessWindowSystem::DoubleClick(HWND hwnd, int x, int y, bool right) {
    Click(hwnd, x, y, right);
    buttons_ |= right ? MK_RBUTTON : MK_LBUTTON;
    PostInput(hwnd, right ? WM_RBUTTONDBLCLK : WM_LBUTTONDBLCLK, ButtonFlags(), MakePointParam(x, y));
    MouseUp(hwnd, x, y, right);
}

void HeadlessWindowSystem::MouseLeave(HWND hwnd) { PostInput(hwnd, WM_MOUSELEAVE, 0, 0); }

void HeadlessWindowSystem::Wheel(HWND hwnd, int x, int y, int delta) {
    cursor_ = ToScreen(hwnd, x, y);
    PostInput(hwnd, WM_MOUSEWHEEL, MakeWheelParam(delta * 120, ButtonFlags()), MakePointParam(cursor_.x, cursor_.y));
}

void HeadlessWindowSystem::KeyDown(HWND hwnd, unsigned vk) {
    keysDown_.insert(vk);
    PostInput(hwnd, IsKeyDown(VK_MENU) ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 0);
}

void HeadlessWindowSystem::KeyUp(HWND hwnd, unsigned vk) {
    keysDown_.erase(vk);
    PostInput(hwnd, WM_KEYUP, vk, 0);
}

void HeadlessWindowSystem::Deactivate(HWND hwnd) { PostInput(hwnd, WM_ACTIVATE, WA_INACTIVE, 0); }

} // namespace Pelta
