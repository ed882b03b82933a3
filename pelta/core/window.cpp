#include "pelta/core/window.h"

#include <atomic>
#include <mutex>
#include <set>
#include <vector>

#include "pelta/core/manager.h"
#include "pelta/core/text.h"

namespace Pelta {

namespace {
std::atomic<HWND> nextHandle{1};

bool IsInput(unsigned msg) {
    return (msg >= WM_MOUSEMOVE && msg <= WM_MOUSEWHEEL) || msg == WM_KEYDOWN || msg == WM_KEYUP ||
           msg == WM_CHAR || msg == WM_SYSKEYDOWN;
}
} // namespace

MWindow::MWindow() = default;

MWindow::~MWindow() {
    // The derived parts are gone already: only the native window and the registration remain.
    if (handle_) {
        WindowSystem::KillTimersIfInstalled(handle_);
        SetCloseOnOutsidePress(false);
        Manager::DeleteWnd(this);
        native_.reset();
        handle_ = 0;
    }
}

HWND MWindow::Create(HWND parent, const char16_t* title, unsigned long style, unsigned long exStyle, CRect rect) {
    if (handle_) return handle_;
    WindowParams params;
    params.title = ToUtf8(title ? title : u"");
    params.rect = rect;
    params.owner = parent;
    params.toolWindow = (exStyle & WS_EX_TOOLWINDOW) != 0;
    params.topMost = (exStyle & WS_EX_TOPMOST) != 0;
    params.kind = GetWindowKind();
    const HWND handle = nextHandle++;
    native_ = WindowSystem::Current().CreateNativeWindow(handle, params);
    if (!native_) return 0;
    parent_ = parent;
    handle_ = handle;
    style_ = style;
    exStyle_ = exStyle;
    Manager::AddWnd(this);
    OnWindowMessage(WM_CREATE, 0, 0);
    if (!handle_) return 0;
    OnInitDialog();
    if (handle_ && (style & WS_VISIBLE)) ShowWindow(SW_SHOW);
    return handle_;
}

void MWindow::ShowWindow(int cmd) {
    if (!native_) return;
    const CRect before = GetClientRect();
    native_->Show(cmd);
    if (cmd != SW_HIDE && cmd != SW_MINIMIZE) SendMessageW(WM_PAINT, 1, 0);
    if (GetClientRect() != before) SendMessageW(WM_SIZE, 0, MakePointParam(GetClientRect().Width(), GetClientRect().Height()));
}

long MWindow::OnWindowMessage(unsigned msg, unsigned wParam, long lParam) { return DefWindowProc(msg, wParam, lParam); }

long MWindow::DefWindowProc(unsigned msg, unsigned, long) {
    if (msg == WM_CLOSE) DestroyWindow();
    return 0;
}

long MWindow::SendMessageW(unsigned msg, unsigned wParam, long lParam) {
    return handle_ ? OnWindowMessage(msg, wParam, lParam) : 0;
}

bool MWindow::PostMessageW(unsigned msg, unsigned wParam, long lParam) {
    if (!handle_) return false;
    WindowSystem::Current().Post({handle_, msg, wParam, lParam});
    return true;
}

namespace {
thread_local MSG currentMessage;
std::mutex popupsMutex;
std::set<HWND> popups; // windows that close on a press elsewhere

bool IsPress(unsigned msg) {
    return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK ||
           msg == WM_MBUTTONDOWN;
}

void ClosePopupsOtherThan(HWND pressed) {
    std::vector<HWND> closing;
    {
        std::lock_guard lock(popupsMutex);
        for (HWND h : popups)
            if (h != pressed) closing.push_back(h);
    }
    for (HWND h : closing)
        if (MWindow* w = Manager::FindWnd(h)) w->PostMessageW(WM_CLOSE, 0, 0);
}
} // namespace

void MWindow::SetCloseOnOutsidePress(bool close) {
    if (!handle_) return;
    std::lock_guard lock(popupsMutex);
    if (close)
        popups.insert(handle_);
    else
        popups.erase(handle_);
}

const MSG& MWindow::GetCurrentMessage() { return currentMessage; }

long MWindow::DispatchMessage(const MSG& msg) {
    MWindow* window = Manager::FindWnd(msg.hwnd);
    if (!window) return 0;
    if (!window->enabled_ && IsInput(msg.message)) return 0;
    if (IsPress(msg.message)) ClosePopupsOtherThan(msg.hwnd);
    const MSG outer = currentMessage;
    currentMessage = msg;
    const long result = window->OnWindowMessage(msg.message, msg.wParam, msg.lParam);
    currentMessage = outer;
    return result;
}

void MWindow::DestroyWindow() {
    if (!handle_) return;
    const HWND handle = handle_;
    native_->Show(SW_HIDE);
    OnWindowMessage(WM_DESTROY, 0, 0);
    WindowSystem::Current().KillTimers(handle);
    SetCloseOnOutsidePress(false);
    Manager::DeleteWnd(this);
    native_.reset();
    handle_ = 0;
    // Last: a window that deletes itself here must not be touched afterwards.
    OnDestroyMessage(handle);
}

unsigned MWindow::ShowModal(int showCommand) {
    if (!handle_) return 0xFFFFFFFF;
    ShowWindow(showCommand);
    const HWND owner = parent_;
    if (MWindow* o = Manager::FindWnd(owner)) o->EnableWindow(false);
    WindowSystem& system = WindowSystem::Current();
    inModal_ = true;
    unsigned result = 0;
    bool quit = false;
    int quitCode = 0;
    while (handle_) {
        MSG msg;
        if (!system.GetMessage(msg)) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (msg.hwnd == handle_ && msg.message == WM_CLOSE) result = msg.wParam;
        if (!PreTranslateMessage(msg) && !Manager::PreTranslateMessage(msg)) DispatchMessage(msg);
    }
    // The owner may have gone while this ran: look it up again.
    if (MWindow* o = Manager::FindWnd(owner)) {
        o->EnableWindow(true);
        o->SetFocus();
    }
    if (quit) system.PostQuit(quitCode);
    inModal_ = false;
    if (deleteWhenModalEnds_) delete this;
    return result;
}

void MWindow::CenterWindow(MWindow* reference) {
    if (!native_) return;
    const CRect me = GetWindowRect();
    const CRect area = WindowSystem::Current().WorkArea();
    if (!reference) reference = Manager::FindWnd(parent_);
    const CRect around = reference && reference->IsWindowVisible() ? reference->GetWindowRect() : area;
    int x = around.left + (around.Width() - me.Width()) / 2;
    int y = around.top + (around.Height() - me.Height()) / 2;
    x = std::max(area.left, std::min(x, area.right - me.Width()));
    y = std::max(area.top, std::min(y, area.bottom - me.Height()));
    native_->SetWindowRect(CRect::FromSize(x, y, me.Width(), me.Height()));
}

void MWindow::BringToTop() {
    if (!native_) return;
    ShowWindow(IsIconic() ? SW_RESTORE : SW_SHOW);
    native_->Raise();
}

void MWindow::ModifyExStyle(unsigned long remove, unsigned long add) {
    exStyle_ = (exStyle_ & ~remove) | add;
    if (native_) native_->SetTopMost(exStyle_ & WS_EX_TOPMOST);
}

CRect MWindow::GetClientRect() const {
    if (!native_) return {};
    const CRect r = native_->GetWindowRect();
    return {0, 0, r.Width(), r.Height()};
}

CRect MWindow::GetWindowRect() const { return native_ ? native_->GetWindowRect() : CRect{}; }

void MWindow::SetWindowTextW(const std::u16string& text) {
    if (native_) native_->SetTitle(ToUtf8(text));
}

std::u16string MWindow::GetWindowTextW() const { return native_ ? FromUtf8(native_->GetTitle()) : u""; }

void MWindow::EnableWindow(bool enable) {
    if (handle_) enabled_ = enable;
}

bool MWindow::IsWindowVisible() const { return native_ && native_->IsVisible(); }
bool MWindow::IsIconic() const { return native_ && native_->IsMinimized(); }
bool MWindow::IsZoomed() const { return native_ && native_->IsMaximized(); }

void MWindow::SetCapture() {
    if (native_) native_->SetCapture(true);
}
void MWindow::ReleaseCapture() {
    if (native_) native_->SetCapture(false);
}
void MWindow::SetFocus() {
    if (native_) native_->Raise();
}

bool MWindow::SetTimer(unsigned id, unsigned periodMs) {
    return handle_ && WindowSystem::Current().SetTimer(handle_, id, periodMs);
}

void MWindow::KillTimer(unsigned id) {
    if (handle_) WindowSystem::Current().KillTimer(handle_, id);
}

CPoint MWindow::ClientToScreen(CPoint p) const {
    const CRect r = GetWindowRect();
    return {p.x + r.left, p.y + r.top};
}
CPoint MWindow::ScreenToClient(CPoint p) const {
    const CRect r = GetWindowRect();
    return {p.x - r.left, p.y - r.top};
}
CRect MWindow::ClientToScreen(CRect c) const {
    const CRect r = GetWindowRect();
    return c.Offset(r.left, r.top);
}
CRect MWindow::ScreenToClient(CRect c) const {
    const CRect r = GetWindowRect();
    return c.Offset(-r.left, -r.top);
}

void MWindow::SetWindowPos(CRect r) {
    if (!native_) return;
    const CRect before = GetWindowRect();
    native_->SetWindowRect(r);
    // What the window became, which size limits may have changed.
    const CRect after = GetWindowRect();
    if (before.Width() != after.Width() || before.Height() != after.Height())
        SendMessageW(WM_SIZE, 0, MakePointParam(after.Width(), after.Height()));
    if (handle_ && (before.left != after.left || before.top != after.top))
        SendMessageW(WM_MOVE, 0, MakePointParam(after.left, after.top));
}

} // namespace Pelta
