// PaintManager's drawing half: merged invalidation, the off-screen frame, background and overlay.
#include <chrono>

#include "pelta/core/manager.h"
#include "pelta/core/paint_manager.h"
#include "pelta/core/timer_service.h"
#include "pelta/core/window.h"

namespace Pelta {

namespace {
// Paints are at least this far apart, so a storm of invalidations costs one frame per period.
constexpr int64_t kMinFrameNs = 15'000'000;

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

void PaintManager::Invalidate() { InvalidateRect(GetClientRect()); }

void PaintManager::InvalidateRect(CRect area, int) {
    if (!hwnd_) return;
    if (layered_) area = GetClientRect();
    {
        std::lock_guard lock(dirtyLock_);
        dirty_ = dirty_.Union(area);
    }
    SchedulePaint();
}

void PaintManager::SchedulePaint() {
    if (paintPending_.exchange(true)) return;
    const HWND hwnd = hwnd_;
    const int64_t wait = lastPaintNs_ + kMinFrameNs - NowNs();
    if (wait <= 0) {
        WindowSystem::PostToInstalled({hwnd, WM_PAINT, 0, 0});
        return;
    }
    TimerService::Instance().Start(static_cast<unsigned>(wait / 1'000'000 + 1),
                                   [hwnd] { WindowSystem::PostToInstalled({hwnd, WM_PAINT, 0, 0}); }, true);
}

void PaintManager::Resize() {
    offscreen_.reset();
    Invalidate();
}

void PaintManager::Paint() {
    CRect area;
    {
        std::lock_guard lock(dirtyLock_);
        area = dirty_;
        dirty_ = {};
    }
    paintPending_ = false;
    if (!window_ || window_->IsIconic()) return;
    area = area.Intersect(GetClientRect());
    if (area.IsRectEmpty()) return;
    Compose(area);
    if (window_->Native()) window_->Native()->Present(offscreen_.get(), area);
    lastPaintNs_ = NowNs();
    ++paints_;
}

void PaintManager::Compose(CRect area) {
    const CRect client = GetClientRect();
    if (client.IsRectEmpty()) return;
    if (!offscreen_ || cairo_image_surface_get_width(offscreen_.get()) != client.Width() ||
        cairo_image_surface_get_height(offscreen_.get()) != client.Height()) {
        offscreen_ = CreateArgbSurface(client.Width(), client.Height());
        area = client;
    }
    if (!offscreen_) return;
    ContextPtr holder(cairo_create(offscreen_.get()));
    cairo_t* cr = holder.get();
    const CRect clip = layered_ ? client : area;
    cairo_rectangle(cr, clip.left, clip.top, clip.Width(), clip.Height());
    cairo_clip(cr);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_restore(cr);
    DrawBackground(cr);
    for (MControl* c : GetAreas()) c->Draw(cr, clip);
    for (MControl* c : GetControls()) c->Draw(cr, clip);
    if (painter_) painter_(cr);
    DrawOverlay(cr);
    cairo_surface_flush(offscreen_.get());
}

void PaintManager::DrawBackground(cairo_t* cr) {
    const CRect client = GetClientRect();
    if (background_) {
        cairo_surface_t* image = background_->Frame(0);
        if (backMode_ == BACK_MODE_FRAME)
            MRender::DrawImageFrame(cr, image, client, 0, 0, background_->Width(), background_->Height(), backValue_);
        else
            MRender::DrawImage(cr, image, CRect::FromSize(0, 0, background_->Width(), background_->Height()), 0, 0,
                               background_->Width(), background_->Height());
        return;
    }
    MRender::DrawColor(cr, client, ArgbFromColorref(border_, 254));
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    MRender::SetSource(cr, ArgbFromColorref(inner_, 254));
    const CRect inner = client.Inflate(-1);
    cairo_rectangle(cr, inner.left, inner.top, inner.Width(), inner.Height());
    cairo_fill(cr);
    cairo_restore(cr);
}

// --- overlay ----------------------------------------------------------------------------------

void PaintManager::DrawOverlay(cairo_t* cr) {
    if (overlayAlpha_ <= 10 || overlayText_.empty()) return;
    const CRect box = overlayRect_;
    const double a = overlayAlpha_ / 255.0;
    cairo_save(cr);
    cairo_push_group(cr);
    MRender::DrawColor(cr, box, 0xFFE6E6E6);
    MRender::DrawColor(cr, box.Inflate(-2), 0xFFFEFEFE);
    const FontSpec font{DefaultFamily(), 12, FontStyleRegular};
    if (!overlayHasProgress_) {
        MRender::DrawText(cr, CRect::FromSize(box.left + 5, box.top + 5, 190, 50), overlayText_, 0xFF050505, font,
                          {0, 4, true});
    } else {
        MRender::DrawText(cr, CRect{box.left, box.top, box.right, box.top + 30}, overlayText_, 0xFF050505, font, {1, 4});
        MRender::DrawColor(cr, CRect{box.left + 10, box.bottom - 15, box.right - 20, box.bottom - 14}, 0xC8C8C8C8);
        const int width = (box.Width() - 20) * std::clamp(shownProgress_, 0, 100) / 100;
        MRender::DrawColor(cr, CRect::FromSize(box.left + 10, box.bottom - 16, width, 3), 0xFEFFE100);
    }
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, a);
    cairo_restore(cr);
}

void PaintManager::StartFade() {
    if (!window_) return;
    window_->KillTimer(TIMER_MESSAGE_FADE);
    window_->SetTimer(TIMER_MESSAGE_HOLD, 3000);
}

void PaintManager::SetMessage(const std::u16string& text, CRect rect, MsgLevel level) {
    if (!window_) return;
    window_->KillTimer(TIMER_MESSAGE_HOLD);
    window_->KillTimer(TIMER_MESSAGE_FADE);
    overlayAlpha_ = 255;
    overlayText_ = text;
    overlayLevel_ = level;
    overlayHasProgress_ = false;
    shownProgress_ = targetProgress_ = 0;
    if (rect.IsRectEmpty()) {
        const CRect c = GetClientRect();
        const int left = (c.Width() - 200) / 2;
        rect = CRect{left, c.bottom - 60, left + 200, c.bottom - 2}.Offset(0, overlayOffset_);
    }
    overlayRect_ = rect;
    InvalidateRect(rect);
    window_->SetTimer(TIMER_MESSAGE_HOLD, 3000);
}

void PaintManager::SetProgress(int percent, const std::u16string& text, CRect rect) {
    if (!window_ || percent == targetProgress_) return;
    if (percent < 5) {
        window_->KillTimer(TIMER_MESSAGE_HOLD);
        window_->KillTimer(TIMER_MESSAGE_FADE);
    }
    overlayAlpha_ = 255;
    overlayText_ = text;
    overlayHasProgress_ = true;
    targetProgress_ = percent;
    if (rect.IsRectEmpty()) {
        const CRect c = GetClientRect();
        rect = CRect{0, c.bottom - 60, c.right, c.bottom - 2};
    }
    overlayRect_ = rect;
    if (targetProgress_ - shownProgress_ < 6) {
        shownProgress_ = targetProgress_;
        if (shownProgress_ >= 100) StartFade();
    } else {
        window_->SetTimer(TIMER_PROGRESS, 10);
    }
    InvalidateRect(rect);
}

} // namespace Pelta
