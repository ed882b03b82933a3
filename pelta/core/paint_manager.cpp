#include "pelta/core/paint_manager.h"

#include <algorithm>

#include "pelta/core/air_bladder.h"
#include "pelta/core/factory.h"
#include "pelta/core/shadow.h"
#include "pelta/core/manager.h"
#include "pelta/core/text.h"
#include "pelta/core/tooltip.h"
#include "pelta/core/window.h"

namespace Pelta {

// Deleting removed controls waits until the outermost message is done.
struct PaintManager::DispatchScope {
    explicit DispatchScope(PaintManager& m) : manager(m) { ++manager.dispatchDepth_; }
    ~DispatchScope() {
        if (--manager.dispatchDepth_ == 0) manager.graveyard_.clear();
    }
    PaintManager& manager;
};

PaintManager::PaintManager() = default;

PaintManager::~PaintManager() { DestroyData(); }

void PaintManager::Init(MWindow* window, MObject* owner) {
    window_ = window;
    owner_ = owner;
    hwnd_ = window ? window->GetSafeHwnd() : 0;
    const std::filesystem::path fonts = Manager::GetResourceFolder() / "font";
    fonts_.AddTempFont("SourceHanSansCN-Regular", fonts / "SourceHanSansCN-Regular.otf");
    fonts_.AddTempFont("Arial", fonts / "Arial.ttf");
    scrollV_ = 102;
    scrollH_ = 101;
    initialized_ = true;
}

CRect PaintManager::GetClientRect() const { return window_ ? window_->GetClientRect() : CRect{}; }
CRect PaintManager::GetWindowRect() const { return window_ ? window_->GetWindowRect() : CRect{}; }
CSize PaintManager::GetClientSize() const {
    const CRect r = GetClientRect();
    return {r.Width(), r.Height()};
}

void PaintManager::SetWindowMaxSize(int w, int h) {
    maxSize_ = {w, h};
    if (window_ && window_->Native()) window_->Native()->SetSizeLimits(minSize_, maxSize_);
}

void PaintManager::SetWindowMixSize(int w, int h) {
    minSize_ = {w, h};
    if (window_ && window_->Native()) window_->Native()->SetSizeLimits(minSize_, maxSize_);
}

void PaintManager::SetCapture() {
    if (window_ && !captured_) window_->SetCapture();
    captured_ = true;
}

void PaintManager::ReleaseCapture() {
    if (window_ && captured_) window_->ReleaseCapture();
    captured_ = false;
}

void PaintManager::SetBackColor(COLORREF inner, COLORREF border) {
    inner_ = inner;
    border_ = border;
    Invalidate();
}

void PaintManager::SetBackMode(enumBackMode mode, int value) {
    backMode_ = mode;
    backValue_ = value;
    Invalidate();
}

int PaintManager::LoadBKImage(const std::u16string& file) {
    std::unique_ptr<Image> image = Image::LoadFromFile(Manager::GetSkinFolder() / ToUtf8(file));
    if (!image) return 0;
    background_ = std::move(image);
    Invalidate();
    return 1;
}

void PaintManager::SetCursor(CursorKind cursor) {
    if (window_ && window_->Native()) window_->Native()->SetCursor(cursor);
}

std::string PaintManager::DefaultFamily() { return fonts_.FindTempFont().value_or(""); }

// --- controls ---------------------------------------------------------------------------------

MControl* PaintManager::CreateControl(unsigned kind, MObject* parent, const std::u16string& className, unsigned id,
                                      CRect rect, const std::u16string& text, int p1, int p2) {
    // Any other kind would leave the control owned by no list.
    if (kind > 1) return nullptr;
    std::unique_ptr<MControl> control =
        ControlFactory::Create(className, ControlFactory::Dialog, parent, id, rect, text, p1, p2);
    if (!control) return nullptr;
    control->SetManager(this);
    return AddControl(std::move(control), kind);
}

MControl* PaintManager::AddControl(std::unique_ptr<MControl> control, unsigned kind) {
    MControl* raw = control.get();
    if (!raw || kind > 1) return nullptr;
    if (raw->GetManager() != this) raw->SetManager(this);
    (kind == 0 ? areas_ : controls_).Add(std::move(control));
    InvalidateRect(raw->GetRect());
    return raw;
}

int PaintManager::RemoveControl(MControl* control) {
    std::unique_ptr<MControl> owned = controls_.Take(control);
    if (!owned) owned = areas_.Take(control);
    if (!owned) return 0;
    const CRect where = owned->GetRect();
    ForgetControl(control);
    DeleteLater(std::move(owned));
    InvalidateRect(where);
    return 1;
}

void PaintManager::RemoveAllControls() {
    std::vector<std::unique_ptr<MControl>> areas = areas_.TakeAll(), controls = controls_.TakeAll();
    for (auto* list : {&areas, &controls})
        for (auto& c : *list) {
            ForgetControl(c.get());
            DeleteLater(std::move(c));
        }
}

void PaintManager::ForgetControl(MControl* control) {
    control->ForEachInTree([this](MControl* c) {
        if (hover_ == c) hover_ = nullptr;
        if (focus_ == c) {
            c->SetControlFocus(0);
            focus_ = nullptr;
        }
        if (dragControl_ == c) dragControl_ = nullptr, dragging_ = false;
        if (tooltipOwner_ != 0 && tooltipOwner_ == static_cast<int>(c->GetControlID())) ClearTooltip();
        DeleteFSTimer(c);
        KillTimer(c);
    });
}

void PaintManager::DeleteLater(std::unique_ptr<MControl> control) {
    if (dispatchDepth_ > 0)
        graveyard_.push_back(std::move(control));
    // Otherwise it goes now, with the unique_ptr.
}

void PaintManager::SetFocusControl(MControl* control) {
    if (focus_ == control) return;
    if (focus_) focus_->SetControlFocus(0);
    focus_ = control;
    if (focus_) focus_->SetControlFocus(1);
}

namespace {
bool Focusable(const MControl* c) { return c->IsVisible() && c->IsEnabled() && c->IsTabStop(); }
} // namespace

MControl* PaintManager::GetNextFocusableControl() const {
    const std::vector<MControl*> list = GetControls();
    if (list.empty()) return nullptr;
    const auto at = std::find(list.begin(), list.end(), focus_);
    const size_t start = at == list.end() ? list.size() - 1 : static_cast<size_t>(at - list.begin());
    for (size_t step = 1; step <= list.size(); ++step) {
        MControl* c = list[(start + step) % list.size()];
        if (Focusable(c)) return c;
    }
    return nullptr;
}

MControl* PaintManager::GetPrevFocusableControl() const {
    const std::vector<MControl*> list = GetControls();
    if (list.empty()) return nullptr;
    const auto at = std::find(list.begin(), list.end(), focus_);
    const size_t start = at == list.end() ? 0 : static_cast<size_t>(at - list.begin());
    for (size_t step = 1; step <= list.size(); ++step) {
        MControl* c = list[(start + list.size() - step) % list.size()];
        if (Focusable(c)) return c;
    }
    return nullptr;
}

// --- messages ---------------------------------------------------------------------------------

long PaintManager::OnControlUpdate(CRect area, int changed, MControl* control) {
    if (changed && control) control->SetUpdate(0);
    // Later siblings are drawn on top of the area: their caches are stale too.
    CRect widened = area;
    bool after = false;
    for (const auto& list : {GetAreas(), GetControls()})
        for (MControl* c : list) {
            if (c == control) {
                after = true;
            } else if (after && c->IsVisible() && c->GetRect().Intersects(area)) {
                c->SetUpdate(0);
                widened = widened.Union(c->GetRect());
            }
        }
    InvalidateRect(widened);
    return 0;
}

long PaintManager::OnWindowMessage(unsigned msg, unsigned wParam, long lParam) {
    DispatchScope scope(*this);
    for (MControl* c : GetControls())
        if (c->OnWindowMessage(msg, wParam, lParam)) return 0;
    const CPoint pt = PointFromParam(lParam);
    switch (msg) {
    case WM_PAINT:
        if (wParam == 1) Invalidate();
        Paint();
        return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return KeyDown(wParam);
    case WM_KEYUP:
        return 0;
    case WM_TIMER:
        OnTimerMessage(wParam);
        return 1;
    case WM_PELTA_TICK:
        Tick();
        return 1;
    case WM_MOUSEMOVE:
        RouteMouseMove(wParam, pt);
        return 1;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        RouteButtonDown(msg, wParam, pt);
        return 1;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        RouteButtonUp(msg, wParam, pt);
        return 1;
    case WM_MOUSEWHEEL:
        RouteWheel(wParam, lParam);
        return 1;
    case WM_MOUSELEAVE:
        MouseLeave();
        return 1;
    case WM_ACTIVATE:
        if (wParam == WA_INACTIVE) ActivationLost();
        return 0;
    case WM_SIZE:
        Resize();
        return 1;
    case WM_NCDESTROY:
        DestroyData();
        return 1;
    case WM_CREATE:
    case WM_DESTROY:
    case WM_CHAR:
    case WM_MOUSEHOVER:
        return 1;
    default:
        return 0;
    }
}

void PaintManager::RouteMouseMove(unsigned flags, CPoint pt) {
    tracking_ = true;
    if (movingWindow_) {
        // Follow the pointer in screen coordinates: client points shift as the window moves.
        const CPoint screen = MWindow::GetCurrentMessage().pt;
        window_->SetWindowPos(moveWindow_.Offset(screen.x - moveStart_.x, screen.y - moveStart_.y));
        return;
    }
    const CPoint last = lastPoint_;
    lastPoint_ = pt;
    // Any step but a jump of 3 pixels or more on both axes starts dragging an armed control.
    if (dragControl_ && (flags & MK_LBUTTON) && !dragging_ &&
        (std::abs(pt.x - last.x) < 3 || std::abs(pt.y - last.y) < 3)) {
        dragging_ = true;
        ReleaseCapture();
    }
    if (dragging_) return;
    if (hover_ && hover_->PtInRect(pt) && hover_->OnCheckMouseResponse(flags, pt)) {
        hover_->OnMouseMove(flags, pt);
        return;
    }
    ClearTooltip();
    if (pressed_) return;
    MControl* under = nullptr;
    for (MControl* c : GetControls()) {
        c->OnMouseMove(flags, pt);
        if (c->PtInRect(pt) && c->GetRresponse()) under = c;
    }
    hover_ = under;
}

void PaintManager::RouteButtonDown(unsigned msg, unsigned flags, CPoint pt) {
    const bool left = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK;
    const bool dbl = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK;
    // A press without a move before it (a window just shown) still finds its control.
    if (!hover_ || !hover_->PtInRect(pt)) {
        hover_ = nullptr;
        for (MControl* c : GetControls())
            if (c->PtInRect(pt) && c->GetRresponse()) hover_ = c;
    }
    if (focus_ && focus_ != hover_) SetFocusControl(nullptr);
    MControl* target = hover_;
    if (target && target->IsVisible() && target->GetRresponse() && target->PtInRect(pt) &&
        target->OnCheckMouseResponse(flags, pt)) {
        if (left && target->IsDragDrop() && target->IsEnabled()) dragControl_ = target;
        pressed_ = true;
        lastPoint_ = pt;
        SetFocusControl(target);
        if (msg == WM_LBUTTONDOWN) target->OnLButtonDown(flags, pt);
        else if (msg == WM_RBUTTONDOWN) target->OnRButtonDown(flags, pt);
        else if (msg == WM_LBUTTONDBLCLK) target->OnLButtonDblClk(flags, pt);
        else target->OnRButtonDblClk(flags, pt);
        SetCapture();
        return;
    }
    if (left && !dbl && wndDrag_ && window_) {
        ReleaseCapture();
        movingWindow_ = true;
        moveStart_ = MWindow::GetCurrentMessage().pt;
        moveWindow_ = window_->GetWindowRect();
    }
}

void PaintManager::RouteButtonUp(unsigned msg, unsigned flags, CPoint pt) {
    ReleaseCapture();
    pressed_ = false;
    movingWindow_ = false;
    if (dragging_) {
        // A drop completes on the control under the pointer.
        dragging_ = false;
        hover_ = nullptr;
        for (MControl* c : GetControls())
            if (c->PtInRect(pt) && c->GetRresponse()) hover_ = c;
    }
    dragControl_ = nullptr;
    if (MControl* target = hover_; target && target->IsVisible() && target->GetRresponse()) {
        if (msg == WM_LBUTTONUP)
            target->OnLButtonUp(flags, pt);
        else
            target->OnRButtonUp(flags, pt);
        if (hover_ == target && !target->PtInRect(pt)) hover_ = nullptr;
    }
}

void PaintManager::RouteWheel(unsigned wParam, long lParam) {
    if (!window_) return;
    const CPoint pt = window_->ScreenToClient(PointFromParam(lParam));
    const int delta = WheelDelta(wParam);
    const unsigned down = delta <= 0 ? 1 : 0;
    const int steps = std::max(1, std::abs(delta / 120));
    for (int i = 0; i < steps; ++i) {
        if (hover_ && hover_->OnScroll(1, down, pt)) continue;
        for (MControl* c : GetControls())
            if (c->OnScroll(1, down, pt)) break;
    }
}

void PaintManager::MouseLeave() {
    ClearTooltip();
    tracking_ = false;
    if (!pressed_ && hover_) {
        MControl* was = hover_;
        hover_ = nullptr;
        was->OnMouseMove(0, {-1, -1});
    }
}

void PaintManager::ActivationLost() {
    tracking_ = false;
    captured_ = false;
    movingWindow_ = false;
    dragging_ = false;
    dragControl_ = nullptr;
    if (MControl* was = hover_) {
        hover_ = nullptr;
        if (pressed_)
            was->OnLButtonUp(0, {-1, -1});
        else
            was->OnMouseMove(0, {-1, -1});
    }
    pressed_ = false;
    Invalidate();
}

long PaintManager::KeyDown(unsigned vk) {
    const unsigned held = MWindow::GetCurrentMessage().keyState;
    unsigned modifier = held & KS_ALT ? MOD_ALT : held & KS_SHIFT ? MOD_SHIFT : MOD_NONE;
    if (held & KS_CTRL) modifier |= MOD_CTRL;
    if (hover_ && hover_->OnKeyDown(vk, 1, modifier)) return 1;
    for (MControl* c : GetControls())
        if (c->OnKeyDown(vk, 1, modifier)) return 1;
    return 0;
}

int PaintManager::PreTranslateMessage(const MSG& msg) {
    if (msg.hwnd != hwnd_ || msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return 0;
    const bool shift = msg.keyState & KS_SHIFT;
    MControl* next = shift ? GetPrevFocusableControl() : GetNextFocusableControl();
    if (!next || next == focus_) return 0;
    SetFocusControl(next);
    return 1;
}

void PaintManager::DestroyData() {
    KillMTimer();
    RKTimer::KillTimer();
    ClearTimers();
    if (tooltip_) tooltip_.reset();
    balloon_.reset();
    shadow_.reset();
    hover_ = focus_ = dragControl_ = nullptr;
    {
        std::lock_guard lock(tickLock_);
        tickList_.clear();
    }
    background_.reset();
    offscreen_.reset();
    RemoveAllControls();
    if (dispatchDepth_ == 0) graveyard_.clear();
    images_.ClearImgResInfo();
    fonts_.ClearTempFont();
    hwnd_ = 0;
    window_ = nullptr;
}

// --- control timers ---------------------------------------------------------------------------

unsigned PaintManager::NextTimerId() {
    for (int tries = 0; tries < 240; ++tries) {
        timerCounter_ = (timerCounter_ + 1) % 240;
        const unsigned id = timerCounter_;
        if (id == 0 || id == TIMER_MESSAGE_HOLD || id == TIMER_MESSAGE_FADE || id == TIMER_PROGRESS) continue;
        if (std::none_of(timers_.begin(), timers_.end(), [&](const ControlTimer& t) { return t.systemId == id; }))
            return id;
    }
    return 0;
}

int PaintManager::SetTimer(MControl* control, unsigned key, unsigned elapseMs) {
    if (!window_ || !control) return 0;
    std::lock_guard lock(timerLock_);
    for (ControlTimer& t : timers_)
        if (t.control == control && t.key == key) {
            if (t.running) return 0;
            // Restarted under its old id.
            if (!window_->SetTimer(t.systemId, elapseMs)) return 0;
            t.running = true;
            return 1;
        }
    const unsigned id = NextTimerId();
    if (!id || !window_->SetTimer(id, elapseMs)) return 0;
    timers_.push_back({control, key, id, true});
    return 1;
}

void PaintManager::KillTimer(MControl* control, unsigned key) {
    std::lock_guard lock(timerLock_);
    for (ControlTimer& t : timers_)
        if (t.control == control && t.key == key && t.running) {
            if (window_) window_->KillTimer(t.systemId);
            t.running = false;
        }
}

void PaintManager::KillTimer(MControl* control) {
    std::lock_guard lock(timerLock_);
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->control == control) {
            if (window_ && it->running) window_->KillTimer(it->systemId);
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
}

void PaintManager::ClearTimers() {
    std::lock_guard lock(timerLock_);
    for (const ControlTimer& t : timers_)
        if (window_ && t.running) window_->KillTimer(t.systemId);
    timers_.clear();
}

unsigned PaintManager::GetTimerSystemId(MControl* control, unsigned key) const {
    std::lock_guard lock(timerLock_);
    for (const ControlTimer& t : timers_)
        if (t.control == control && t.key == key) return t.systemId;
    return 0;
}

void PaintManager::OnTimerMessage(unsigned id) {
    if (id == TIMER_MESSAGE_HOLD) {
        window_->KillTimer(TIMER_MESSAGE_HOLD);
        window_->SetTimer(TIMER_MESSAGE_FADE, 50);
        return;
    }
    if (id == TIMER_MESSAGE_FADE) {
        if (overlayAlpha_ - 10 < 20) {
            overlayAlpha_ = 0;
            shownProgress_ = targetProgress_ = 0;
            window_->KillTimer(TIMER_MESSAGE_FADE);
            Invalidate();
        } else {
            overlayAlpha_ -= 10;
            InvalidateRect(overlayRect_);
        }
        return;
    }
    if (id == TIMER_PROGRESS) {
        shownProgress_ = std::min(targetProgress_, shownProgress_ + 2);
        if (shownProgress_ >= targetProgress_) {
            window_->KillTimer(TIMER_PROGRESS);
            if (shownProgress_ >= 100) StartFade();
        }
        InvalidateRect(overlayRect_);
        return;
    }
    MControl* control = nullptr;
    {
        std::lock_guard lock(timerLock_);
        for (const ControlTimer& t : timers_)
            if (t.systemId == id && t.running) control = t.control;
    }
    // A timer of a control already gone finds no entry and does nothing.
    if (control) control->OnTimer();
}

// --- animation tick ---------------------------------------------------------------------------

void PaintManager::SetMTimer(unsigned periodMs) {
    KillMTimer();
    animationTimer_ = RKTimer::SetTimer(periodMs, u"", 0);
}

void PaintManager::KillMTimer() {
    if (animationTimer_) RKTimer::KillTimer(animationTimer_);
    animationTimer_ = 0;
}

void PaintManager::AddMTimer(MControl* control) {
    std::lock_guard lock(tickLock_);
    tickList_.push_back(control);
}

bool PaintManager::DeleteFSTimer(MControl* control) {
    std::lock_guard lock(tickLock_);
    auto it = std::remove(tickList_.begin(), tickList_.end(), control);
    const bool found = it != tickList_.end();
    tickList_.erase(it, tickList_.end());
    return found;
}

void PaintManager::OnMTimer(unsigned id) {
    // On the timer thread: only ask the window's thread to run the tick, and never queue a backlog.
    if (id != animationTimer_ || !hwnd_) return;
    if (!tickPending_.exchange(true)) WindowSystem::PostToInstalled({hwnd_, WM_PELTA_TICK, 0, 0});
}

void PaintManager::Tick() {
    tickPending_ = false;
    ++ticks_;
    std::vector<MControl*> list;
    {
        std::lock_guard lock(tickLock_);
        list = tickList_;
    }
    for (MControl* c : list) {
        {
            // Still registered? A tick handler may have removed a later control.
            std::lock_guard lock(tickLock_);
            if (std::find(tickList_.begin(), tickList_.end(), c) == tickList_.end()) continue;
        }
        if (c->IsRunTimer() && c->IsVisible() && c->IsParentVisible()) c->OnTimer();
    }
}

// --- tooltip ----------------------------------------------------------------------------------

// The tip follows the pointer, so the owner's area is not needed to place it.
int PaintManager::SetTooltip(const std::u16string& text, CRect) {
    if (!window_) return 0;
    if (text.empty()) {
        if (tooltip_) tooltip_->Activate(false);
        return 1;
    }
    if (!tooltip_) {
        tooltip_ = std::make_unique<TooltipWnd>();
        if (!tooltip_->CreateFor(*window_)) {
            tooltip_.reset();
            return 0;
        }
    }
    tooltip_->SetText(text);
    const CPoint cursor = WindowSystem::Current().CursorPos();
    tooltip_->Activate(true, {cursor.x, cursor.y + 20});
    return 1;
}

void PaintManager::ClearTooltip() {
    if (tooltip_) {
        tooltip_->SetText(u"");
        tooltip_->Activate(false);
    }
    tooltipOwner_ = 0;
}

// --- balloon tip and shadow -------------------------------------------------------------------

void PaintManager::SetAirBladderMsg(const std::u16string& text, CPoint anchor, int type, int mode) {
    if (!window_) return;
    if (!balloon_) {
        balloon_ = std::make_unique<MAirBladder>();
        if (!balloon_->CreateFor(*window_)) {
            balloon_.reset();
            return;
        }
    }
    const int before = balloon_->ChangeCount();
    balloon_->SetAirBladderMsg(text, anchor, static_cast<AIRBLADDER_TYPE>(type), static_cast<AIRBLADDER_MODE>(mode));
    if (balloon_->ChangeCount() != before) balloon_->ShowAirBladder(1, 0);
}

int PaintManager::ShowAirBladder(int show, int ownerId) { return balloon_ ? balloon_->ShowAirBladder(show, ownerId) : 0; }

void PaintManager::CreateShadow(int show) {
    if (!shadow_) {
        shadow_ = std::make_unique<MShadow>();
        if (!shadow_->Create(this)) {
            shadow_.reset();
            return;
        }
    }
    shadow_->ShowShadow(show);
}

int PaintManager::SetShadowShow(int show) { return shadow_ ? (shadow_->ShowShadow(show), 1) : 0; }
int PaintManager::DisableShadow(int disable) { return shadow_ ? (shadow_->DisableShadow(disable), 1) : 0; }
int PaintManager::SetShadowColor(COLORREF c) { return shadow_ ? shadow_->SetColor(c) : 0; }
int PaintManager::SetShadowImage(const std::u16string& file, CRect corner) {
    return shadow_ ? shadow_->SetImage(file, corner) : 0;
}
int PaintManager::SetSize(int size) { return shadow_ ? shadow_->SetSize(size) : 0; }
int PaintManager::SetSharpness(unsigned sharpness) { return shadow_ ? shadow_->SetSharpness(sharpness) : 0; }
int PaintManager::SetDarkness(unsigned darkness) { return shadow_ ? shadow_->SetDarkness(darkness) : 0; }
int PaintManager::SetPosition(int x, int y) { return shadow_ ? shadow_->SetPosition(x, y) : 0; }
void PaintManager::UpdateShadow() {
    if (shadow_) shadow_->Update();
}

} // namespace Pelta
