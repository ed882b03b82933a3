#include "pelta/core/menu_item.h"

#include "pelta/core/menu.h"

namespace Pelta {

MenuItem::MenuItem(MObject* parent, unsigned id, CRect rect, const std::u16string& title, int visible, int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled, 1) {
    if (!enabled) state_ = 3;
}

MenuItem::~MenuItem() {
    if (popup_ && popup_->GetSafeHwnd()) popup_->CloseWindow();
}

MenuWnd* MenuItem::GetParentMenu() const { return dynamic_cast<MenuWnd*>(parent_); }

void MenuItem::SetState(int state) {
    if (state == state_) return;
    state_ = state;
    UpdateControl(0, 0);
}

void MenuItem::SetControlCheck(int check) {
    check_ = check;
    SetState(check ? 2 : 0);
}

void MenuItem::SetControlEnabled(int enabled) {
    MControl::SetControlEnabled(enabled);
    SetState(!enabled ? 3 : check_ ? 2 : 0);
}

long MenuItem::OnControlMouseMove(unsigned, CPoint pt) {
    if (!enabled_ || pressed_) return 0;
    SetState(rect_.PtInRect(pt) ? 1 : 0);
    return 1;
}

long MenuItem::OnControlLButtonDown(unsigned, CPoint pt) {
    if (!enabled_ || !rect_.PtInRect(pt)) return 0;
    pressed_ = 1;
    SetState(2);
    return 1;
}

long MenuItem::OnControlLButtonUp(unsigned, CPoint pt) {
    if (!enabled_) return 0;
    pressed_ = 0;
    if (rect_.PtInRect(pt)) {
        const int before = state_;
        SetState(1);
        if (before != 1) SendMessageW(NOTIFY_CLICK, 0, 0);
    } else {
        SetState(check_ ? 2 : 0);
    }
    return 1;
}

void MenuItem::RenderFrames(cairo_t* screen) {
    const int w = rect_.Width(), h = rect_.Height();
    const int frames = separator_ ? 1 : 4;
    ContextPtr cr(cairo_create(GetMemSurface()));
    cairo_surface_t* below = cairo_get_target(screen);
    cairo_surface_flush(below);
    const int stripFrameW = image_ ? image_->frameWidth : 0;
    for (int j = 0; j < frames; ++j) {
        const CRect frame = CRect::FromSize(j * w, 0, w, h);
        cairo_save(cr.get());
        cairo_rectangle(cr.get(), frame.left, 0, w, h);
        cairo_clip(cr.get());
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr.get(), below, frame.left - rect_.left, -rect_.top);
        cairo_paint(cr.get());
        cairo_restore(cr.get());
        if (j == 1 || j == 2)
            MRender::DrawColor(cr.get(), CRect::FromSize(frame.left + frameWidth_, 0, w - 2 * frameWidth_, h), hoverColour_);
        if (image_) {
            if (separator_) {
                cairo_save(cr.get());
                const int ih = image_->frameHeight;
                const CRect band = CRect::FromSize(frame.left, (h - ih) / 2, w - 2 * frameWidth_, ih);
                cairo_rectangle(cr.get(), band.left, band.top, band.Width(), band.Height());
                cairo_clip(cr.get());
                cairo_set_source_surface(cr.get(), image_->image->Frame(0), band.left, band.top);
                cairo_pattern_set_extend(cairo_get_source(cr.get()), CAIRO_EXTEND_REPEAT);
                cairo_paint(cr.get());
                cairo_restore(cr.get());
            } else {
                const int k = j < image_->count ? j : 0;
                const CRect dest = CRect::FromSize(frame.left + (iconArea_ - stripFrameW) / 2,
                                                   (h - image_->frameHeight) / 2, stripFrameW, image_->frameHeight);
                MRender::DrawImage(cr.get(), image_->image->Frame(0), dest, k * image_->frameWidth, 0,
                                   image_->frameWidth, image_->frameHeight);
            }
        }
        if (!title_.empty())
            MRender::DrawText(cr.get(), CRect::FromSize(frame.left + iconArea_, 0, w - iconArea_, h), title_,
                              j == 3 ? 0xFE808080 : 0xFFFFFFFF, GetFontSpec(), {0, vAlign_});
    }
    cairo_surface_flush(GetMemSurface());
}

void MenuItem::DrawControl(cairo_t* cr, CRect) {
    const int w = rect_.Width(), h = rect_.Height();
    if (w <= 0 || h <= 0) return;
    const int frames = separator_ ? 1 : 4;
    if (UpdateMemDC(w * frames, h)) RenderFrames(cr);
    if (!GetMemSurface()) return;
    const int shown = separator_ ? 0 : state_;
    MRender::DrawImage(cr, GetMemSurface(), rect_, shown * w, 0, w, h);
}

} // namespace Pelta
