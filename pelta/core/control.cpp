#include "pelta/core/control.h"

#include <algorithm>

#include "pelta/core/paint_manager.h"

namespace Pelta {

MControl::MControl(MObject* parent, unsigned id, CRect rect, int visible, int enabled, int response)
    : parent_(parent), id_(id), rect_(rect), visible_(visible), enabled_(enabled), response_(response) {}

MControl::~MControl() { RemoveAllControl(); }

void MControl::SetManager(PaintManager* manager) {
    manager_ = manager;
    InitControl(manager);
}

void MControl::InitControl(PaintManager*) {}

CRect MControl::GetRect() const { return rect_; }

void MControl::ParentUpdate(CRect area, int changed) {
    if (parent_) parent_->OnControlUpdate(area, changed, this);
}

void MControl::SetRect(CRect rect) {
    const CRect both = rect_.Union(rect);
    SetControlRect(rect);
    if (visible_) ParentUpdate(both, 1);
}

void MControl::SetControlRect(CRect rect) { rect_ = rect; }

void MControl::SetVisible(int visible) { SetVisible(visible, 1); }

void MControl::SetVisible(int visible, int update) {
    if (!visible_ == !visible) return;
    SetControlVisible(visible);
    if (update) ParentUpdate(rect_, 1);
}

int MControl::IsParentVisible() const {
    auto* parent = dynamic_cast<MControl*>(parent_);
    if (!parent_) return 0;
    if (parent_->IsClass(u"MDialog")) return 1;
    if (!parent) return 0;
    return parent->visible_ && parent->IsParentVisible() ? 1 : 0;
}

void MControl::SetEnabled(int enabled) {
    if (!enabled_ == !enabled) return;
    SetControlEnabled(enabled);
    if (visible_) ParentUpdate(rect_, 1);
}

void MControl::UpdateControl(int changed, int force) { UpdateControl(rect_, changed, force); }

void MControl::UpdateControl(CRect area, int changed, int force) {
    if (visible_ || force) ParentUpdate(area, changed);
}

void MControl::UpdateAControl(int changed, int force) {
    if (!visible_ && !force) return;
    animate_ = !changed;
    ParentUpdate(rect_, 0);
}

long MControl::SendMessageW(unsigned code, unsigned wParam, long lParam) {
    return parent_ ? parent_->OnBaseMessage(id_, code, wParam, lParam) : 0;
}

void MControl::AddChild(std::unique_ptr<MControl> control, int kind) {
    if (kind == 0)
        areas_.Add(std::move(control));
    else if (kind == 1)
        controls_.Add(std::move(control));
}

int MControl::RemoveControl(MControl* control) {
    std::unique_ptr<MControl> owned = controls_.Take(control);
    if (!owned) return 0;
    if (current_ == control) current_ = nullptr;
    if (manager_) {
        // The routing that led here may still hold the pointer: the manager forgets it now and
        // deletes it once the current message is done.
        manager_->ForgetControl(control);
        manager_->DeleteLater(std::move(owned));
    }
    return 0;
}

void MControl::RemoveAllControl() {
    std::vector<std::unique_ptr<MControl>> areas = areas_.TakeAll(), controls = controls_.TakeAll();
    current_ = nullptr;
    if (manager_) {
        for (auto& c : areas) manager_->ForgetControl(c.get());
        for (auto& c : controls) manager_->ForgetControl(c.get());
        for (auto& c : areas) manager_->DeleteLater(std::move(c));
        for (auto& c : controls) manager_->DeleteLater(std::move(c));
    }
}

void MControl::SetTooltip(const std::u16string& text, CRect area) {
    if (!manager_) return;
    manager_->SetTooltip(text, area);
    manager_->SetTooltipCtrlID(static_cast<int>(id_));
}

void MControl::ClearTooltip() {
    if (manager_) manager_->ClearTooltip();
}

int MControl::SetCursorEx(const char16_t* name) {
    static const struct {
        std::u16string_view name;
        CursorKind kind;
    } kCursors[] = {{u"arrow", CursorKind::Arrow}, {u"wait", CursorKind::Wait},
                    {u"cross", CursorKind::Cross}, {u"sizewe", CursorKind::SizeWE},
                    {u"sizens", CursorKind::SizeNS}, {u"hand", CursorKind::Hand},
                    {u"help", CursorKind::Help}};
    if (!name) return 0;
    for (const auto& c : kCursors)
        if (c.name == name) cursor_ = c.kind;
    return 0;
}

void MControl::AddMTimer() {
    if (manager_) manager_->AddMTimer(this);
}

int MControl::IsFocusControl() const { return manager_ && manager_->GetFocusControl() == this; }
MControl* MControl::GetFocusControl() const { return manager_ ? manager_->GetFocusControl() : nullptr; }
MControl* MControl::GetNextFocusableControl() const {
    return manager_ ? manager_->GetNextFocusableControl() : nullptr;
}
MControl* MControl::GetPrevFocusableControl() const {
    return manager_ ? manager_->GetPrevFocusableControl() : nullptr;
}

// --- drawing --------------------------------------------------------------------------------

void MControl::Draw(cairo_t* cr, CRect clip) {
    if (!visible_ || !rect_.Intersects(clip)) return;
    areas_.ForEach([&](MControl* area) {
        if (area->rect_.Intersects(rect_)) area->Draw(cr, clip);
    });
    DrawControl(cr, clip);
    DrawSubControls(cr, clip);
}

void MControl::DrawControl(cairo_t*, CRect) {}

int MControl::DrawSubControls(cairo_t* cr, CRect clip) {
    controls_.ForEach([&](MControl* c) {
        if (c->visible_) c->Draw(cr, clip);
    });
    return 1;
}

bool MControl::UpdateMemDC(int cx, int cy) {
    bool render = update_.exchange(1) == 0;
    if (!memSurface_ || cairo_image_surface_get_width(memSurface_.get()) != cx ||
        cairo_image_surface_get_height(memSurface_.get()) != cy) {
        memSurface_ = CreateArgbSurface(cx, cy);
        render = true;
    }
    return render && memSurface_;
}

bool MControl::UpdateAnimateDC(int cx, int cy) {
    if (animateSurface_ && cairo_image_surface_get_width(animateSurface_.get()) == cx &&
        cairo_image_surface_get_height(animateSurface_.get()) == cy)
        return false;
    animateSurface_ = CreateArgbSurface(cx, cy);
    animate_ = 1;
    return animateSurface_ != nullptr;
}

void MControl::SetUpdate(int update, unsigned long reserved) {
    update_ = update;
    for (const auto& list : {GetAreas(), GetControls()})
        for (MControl* c : list)
            if (c->rect_.Intersects(rect_)) c->SetUpdate(update, reserved);
}

int MControl::PositionItem2Value(const FS_POSITION_ITEM& item, int a, int b) {
    switch (item.kind) {
    case 0:
        return item.fromFar ? b - static_cast<int>(item.value) : a + static_cast<int>(item.value);
    case 1: {
        const int middle = a + (b - a) / 2;
        return item.fromFar ? middle - static_cast<int>(item.value) : middle + static_cast<int>(item.value);
    }
    case 2:
        return std::min(b, a + static_cast<int>(static_cast<float>(b - a) * item.value / 100.0f));
    default:
        return 0;
    }
}

void MControl::InvalidateRect(const CRect* area, int erase) {
    if (manager_) manager_->InvalidateRect(area ? *area : rect_, erase);
}

int MControl::PtInRect(CPoint pt) const { return visible_ && rect_.PtInRect(pt) ? 1 : 0; }

int MControl::SetControlFocus(int focus) {
    if (!focus)
        for (MControl* c : GetControls()) c->SetControlFocus(0);
    return 0;
}

long MControl::OnControlSetCursor(unsigned, CPoint pt) {
    if (cursor_ == CursorKind::Unset || !rect_.PtInRect(pt) || !manager_) return 0;
    manager_->SetCursor(cursor_);
    return 1;
}

long MControl::OnControlKeyDown(unsigned vk, unsigned, unsigned modifier) {
    return hotKeyVk_ != 0 && vk == hotKeyVk_ && modifier == hotKeyModifier_ ? 1 : 0;
}

// --- routing ----------------------------------------------------------------------------------

CPoint MControl::PointFor(const MControl* child, CPoint untranslated, CPoint translated) {
    return child->id_ == 1 || child->id_ == 2 ? untranslated : translated;
}

long MControl::OnMouseMove(unsigned flags, CPoint pt) {
    if (!visible_ || !response_) return 0;
    CPoint local = pt;
    OnMousePointChange(local);
    if (MControl* cur = current_) {
        const CPoint p = PointFor(cur, pt, local);
        if ((cur->PtInRect(p) && cur->OnCheckMouseResponse(flags, p)) || pressedInside_) {
            cur->OnMouseMove(flags, p);
            return 1;
        }
    }
    const bool hadCurrent = current_ != nullptr;
    current_ = nullptr;
    if (!tooltip_.empty() && manager_ && PtInRect(pt) && OnCheckMouseResponse(flags, pt) &&
        manager_->GetTooltipCtrlID() != static_cast<int>(id_)) {
        manager_->SetTooltip(tooltip_, rect_);
        manager_->SetTooltipCtrlID(static_cast<int>(id_));
    }
    OnControlSetCursor(flags, pt);
    const long own = OnControlMouseMove(flags, pt);
    if (pressedInside_) return own; // a pressed control with a current child returned above
    bool involved = hadCurrent;
    for (MControl* c : GetControls()) {
        const CPoint p = PointFor(c, pt, local);
        if (c->OnMouseMove(flags, p)) {
            involved = true;
            if (c->PtInRect(p)) current_ = c;
        }
    }
    return involved ? 1 : own;
}

namespace {
// The last child in list order that takes a press at p.
MControl* PressTarget(const std::vector<MControl*>& children, CPoint pt, CPoint local) {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        MControl* c = *it;
        const CPoint p = c->GetControlID() == 1 || c->GetControlID() == 2 ? pt : local;
        if (c->IsVisible() && c->IsEnabled() && c->GetRresponse() && c->PtInRect(p)) return c;
    }
    return nullptr;
}
} // namespace

namespace {
// The entry points and overridable handlers of one mouse button, so both buttons share one route.
struct Button {
    long (MControl::*down)(unsigned, CPoint);
    long (MControl::*up)(unsigned, CPoint);
    long (MControl::*dblClk)(unsigned, CPoint);
    long (MControl::*ownDown)(unsigned, CPoint);
    long (MControl::*ownUp)(unsigned, CPoint);
    long (MControl::*ownDblClk)(unsigned, CPoint);
};
const Button kLeft{&MControl::OnLButtonDown,        &MControl::OnLButtonUp,        &MControl::OnLButtonDblClk,
                   &MControl::OnControlLButtonDown, &MControl::OnControlLButtonUp, &MControl::OnControlLButtonDblClk};
const Button kRight{&MControl::OnRButtonDown,        &MControl::OnRButtonUp,        &MControl::OnRButtonDblClk,
                    &MControl::OnControlRButtonDown, &MControl::OnControlRButtonUp, &MControl::OnControlRButtonDblClk};
} // namespace

long MControl::RoutePress(bool right, unsigned flags, CPoint pt) {
    if (!visible_ || !response_) return 0;
    const Button& b = right ? kRight : kLeft;
    CPoint local = pt;
    OnMousePointChange(local);
    pressedInside_ = rect_.PtInRect(pt);
    current_ = PressTarget(GetControls(), pt, local);
    if (current_) return (current_->*b.down)(flags, PointFor(current_, pt, local));
    if (manager_) manager_->SetFocusControl(this);
    return (this->*b.ownDown)(flags, pt);
}

long MControl::RouteRelease(bool right, unsigned flags, CPoint pt) {
    if (!visible_ || !response_) return 0;
    const Button& b = right ? kRight : kLeft;
    CPoint local = pt;
    OnMousePointChange(local);
    pressedInside_ = 0;
    if (current_) return (current_->*b.up)(flags, PointFor(current_, pt, local));
    return (this->*b.ownUp)(flags, pt);
}

long MControl::RouteDoubleClick(bool right, unsigned flags, CPoint pt) {
    if (!visible_ || !response_) return 0;
    const Button& b = right ? kRight : kLeft;
    CPoint local = pt;
    OnMousePointChange(local);
    pressedInside_ = 0;
    if (MControl* child = current_) {
        const CPoint p = PointFor(child, pt, local);
        long handled = (child->*b.dblClk)(flags, p);
        // A control that does not take double clicks sees a second press.
        if (!handled && !child->dblClk_) handled = (child->*b.down)(flags, p);
        return handled;
    }
    return dblClk_ ? (this->*b.ownDblClk)(flags, pt) : (this->*b.ownDown)(flags, pt);
}

long MControl::OnScroll(int direction, unsigned down, CPoint pt) {
    if (!visible_ || !response_ || !enabled_) return 0;
    CPoint local = pt;
    OnMousePointChange(local);
    if (MControl* cur = current_) {
        const CPoint p = PointFor(cur, pt, local);
        if (cur->PtInRect(p) && cur->OnCheckMouseResponse(0, p) && cur->OnScroll(direction, down, p))
            return 1;
    }
    if (!rect_.PtInRect(pt)) return 0;
    if (OnControlScroll(direction, down, pt)) return 1;
    for (MControl* c : GetControls()) {
        const CPoint p = PointFor(c, pt, local);
        if (c->PtInRect(p) && c->OnScroll(direction, down, p)) return 1;
    }
    return 0;
}

long MControl::OnKeyDown(unsigned vk, unsigned repeat, unsigned modifier) {
    if (!visible_ || !response_) return 0;
    const std::vector<MControl*> children = GetControls();
    for (MControl* c : children)
        if (c->visible_ && c->focused_) return c->OnKeyDown(vk, repeat, modifier);
    if (current_ && current_->OnKeyDown(vk, repeat, modifier)) return 1;
    if (OnControlKeyDown(vk, repeat, modifier)) return 1;
    for (MControl* c : children)
        if (c->OnKeyDown(vk, repeat, modifier)) return 1;
    return 0;
}

long MControl::OnTimer() {
    long worked = OnControlTimer();
    for (MControl* c : GetControls())
        if (c->runTimer_ && c->visible_ && c->OnTimer()) worked = 1;
    return worked;
}

} // namespace Pelta
