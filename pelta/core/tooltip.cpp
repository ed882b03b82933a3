#include "pelta/core/tooltip.h"

#include "pelta/core/manager.h"
#include "pelta/core/render.h"

namespace Pelta {

namespace {
constexpr int kPadding = 4;
FontSpec TipFont() { return {"", 12, FontStyleRegular}; }
} // namespace

bool TooltipWnd::CreateFor(MWindow& owner) {
    return Create(owner.GetSafeHwnd(), u"", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, CRect{0, 0, 1, 1}) != 0;
}

void TooltipWnd::Activate(bool show, CPoint at) {
    active_ = show && !text_.empty();
    if (!active_) {
        ShowWindow(SW_HIDE);
        return;
    }
    CSize size = MRender::GetTextBounds(TipFont(), text_);
    size.cx = std::min(size.cx, kMaxWidth);
    MoveWindow(at.x, at.y, size.cx + 2 * kPadding, size.cy + 2 * kPadding);
    Draw();
    ShowWindow(SW_SHOWNOACTIVATE);
}

void TooltipWnd::Draw() {
    const CRect client = GetClientRect();
    picture_ = CreateArgbSurface(client.Width(), client.Height());
    if (!picture_ || !Native()) return;
    ContextPtr cr(cairo_create(picture_.get()));
    MRender::DrawColor(cr.get(), client, 0xFFFFFFFF);
    MRender::DrawRoundRectange(cr.get(), 0.5f, 0.5f, client.Width() - 1.f, client.Height() - 1.f, 0.f, 0xFF767676);
    MRender::DrawText(cr.get(), client.Inflate(-kPadding), text_, 0xFF000000, TipFont(), {0, 4, true});
    cairo_surface_flush(picture_.get());
    Native()->Present(picture_.get(), client);
}

long TooltipWnd::OnWindowMessage(unsigned msg, unsigned wParam, long lParam) {
    if (msg == WM_PAINT && active_) {
        Draw();
        return 0;
    }
    return MWindow::OnWindowMessage(msg, wParam, lParam);
}

} // namespace Pelta
