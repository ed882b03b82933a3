#include "pelta/core/air_bladder.h"

#include <algorithm>

#include "pelta/core/image.h"
#include "pelta/core/manager.h"

namespace Pelta {

MAirBladder::MAirBladder() {
    const std::filesystem::path skin = Manager::GetSkinFolder();
    background_ = Image::LoadFromFile(skin / "img_tip_bk.png");
    arrowLeft_ = Image::LoadFromFile(skin / "img_tip_arrow_left.png");
    arrowRight_ = Image::LoadFromFile(skin / "img_tip_arrow_right.png");
    arrowTop_ = Image::LoadFromFile(skin / "img_tip_arrow_top.png");
}

MAirBladder::~MAirBladder() = default;

FontSpec MAirBladder::Font() { return {"", 14, FontStyleRegular}; }

bool MAirBladder::CreateFor(MWindow& owner) {
    return Create(owner.GetSafeHwnd(), u"AirBladder Window", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                  CRect{0, 0, 1, 1}) != 0;
}

CRect MAirBladder::AutoFit() {
    if (text_.empty()) return GetWindowRect();
    lines_ = 1 + static_cast<int>(std::count(text_.begin(), text_.end(), u'\n'));
    const CSize one = MRender::GetTextBounds(Font(), u"Ag");
    const int W = MRender::GetTextBounds(Font(), text_).cx;
    int lines = lines_;
    if (type_ == AIRBLADDER_RIGHT_HIGH) lines = std::max(1, lines - 2);
    const int h = lines * one.cy;
    const int x = anchor_.x, y = anchor_.y;
    CRect r;
    switch (type_) {
    case AIRBLADDER_LEFT: r = {x - W - 40, y - 27, x, y + h - 7}; break;
    case AIRBLADDER_BELOW: r = {x - 25, y, x + W + 15, y + h + 30}; break;
    case AIRBLADDER_ABOVE: {
        const int left = x - (W + 30) / 2;
        r = {left, y - h - 20, left + W + 30, y};
        break;
    }
    case AIRBLADDER_RIGHT_HIGH: r = {x, y - 10, x + W + 40, y + h - 45}; break;
    case AIRBLADDER_RIGHT:
    default: {
        const int top = y - h / 2 - 10;
        r = {x, top, x + W + 40, top + h + 20};
        break;
    }
    }
    return r;
}

void MAirBladder::SetAirBladderMsg(const std::u16string& text, CPoint anchor, AIRBLADDER_TYPE type,
                                   AIRBLADDER_MODE mode) {
    if (text == text_ && anchor == anchor_ && type == type_ && mode == mode_) return;
    text_ = text;
    anchor_ = anchor;
    type_ = type;
    mode_ = mode;
    ++changes_;
    const CRect r = AutoFit();
    if (!text_.empty() && r.Width() > 0 && r.Height() > 0) {
        SetWindowPos(r);
        Draw();
    }
    if (type_ != AIRBLADDER_ABOVE) {
        KillTimer(kHideTimer);
        SetTimer(kHideTimer, kHideAfterMs);
    }
}

int MAirBladder::ShowAirBladder(int show, int ownerId) {
    if (ownerId != 0) {
        if (show)
            owner_ = ownerId;
        else if (ownerId != owner_)
            return 0;
    }
    if (show && !text_.empty()) {
        Draw();
        ShowWindow(SW_SHOWNOACTIVATE);
    } else if (!show) {
        ShowWindow(SW_HIDE);
    }
    return 1;
}

void MAirBladder::Draw() {
    const CRect client = GetClientRect();
    picture_ = CreateArgbSurface(client.Width(), client.Height());
    if (!picture_ || !Native()) return;
    ContextPtr cr(cairo_create(picture_.get()));
    const CRect box{0, 0, client.right - 1, client.bottom - 1};
    if (background_)
        MRender::DrawImageFrame(cr.get(), background_->Frame(0), box, 0, 0, background_->Width(), background_->Height(), 6);
    else
        MRender::DrawRoundRectange(cr.get(), 0.5f, 0.5f, box.Width() - 1.f, box.Height() - 1.f, 8.f, 0xFF767676, 1.f,
                                   true, 0xFFFFFFFF);
    const CSize one = MRender::GetTextBounds(Font(), u"Ag");
    const int h = lines_ * one.cy;
    const bool centred = lines_ == 1 || type_ == AIRBLADDER_ABOVE;
    MRender::DrawText(cr.get(), CRect::FromSize(8, (client.Height() - h) / 2 + lines_ - 1, client.Width() - 16, h + 2),
                      text_, 0xFE141414, Font(), {centred ? 1u : 0u, 0});
    cairo_surface_flush(picture_.get());
    Native()->Present(picture_.get(), client);
}

long MAirBladder::OnWindowMessage(unsigned msg, unsigned wParam, long lParam) {
    if (msg == WM_TIMER && wParam == kHideTimer) {
        KillTimer(kHideTimer);
        ShowWindow(SW_HIDE);
        return 0;
    }
    if (msg == WM_PAINT) {
        Draw();
        return 0;
    }
    return MWindow::OnWindowMessage(msg, wParam, lParam);
}

} // namespace Pelta
