#include "pelta/core/loading.h"

#include "pelta/core/image.h"
#include "pelta/core/manager.h"
#include "pelta/core/text.h"

namespace Pelta {

LoadingWnd::LoadingWnd() = default;
LoadingWnd::~LoadingWnd() = default;

HWND LoadingWnd::CreateDlg(HWND parent, CRect rect) {
    LoadGifImage(u"loading/loading.gif");
    logo_ = Image::LoadFromFile(Manager::GetSkinFolder() / "logo" / "logo_loading.png");
    const HWND handle = Create(parent, u"Loading", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, rect);
    if (!handle) return 0;
    SetCloseOnOutsidePress(false); // stays until the work is done
    manager_.SetLayeredWindow(1);
    manager_.SetOverlayPainter([this](cairo_t* cr) { DrawControls(cr); });
    SetTimer(kFrameTimer, kTickMs);
    ShowWindow(SW_SHOW);
    return handle;
}

int LoadingWnd::LoadGifImage(const std::u16string& file) {
    std::unique_ptr<Image> image = Image::LoadFromFile(Manager::GetSkinFolder() / ToUtf8(file));
    if (!image) return 0;
    animation_ = std::move(image);
    stripFrames_ = 0;
    frame_ = 0;
    return 1;
}

int LoadingWnd::LoadAnimateImage(const std::u16string& file, int frames) {
    std::unique_ptr<Image> image = Image::LoadFromFile(Manager::GetSkinFolder() / ToUtf8(file));
    if (!image || frames <= 0 || image->Width() / frames == 0) return 0;
    animation_ = std::move(image);
    stripFrames_ = frames;
    frame_ = 0;
    return 1;
}

int LoadingWnd::FrameCount() const {
    if (!animation_) return 0;
    return stripFrames_ ? stripFrames_ : animation_->FrameCount();
}

void LoadingWnd::OnTimer(unsigned id) {
    if (id != kFrameTimer || FrameCount() == 0) return;
    // A GIF frame stays for its own delay (at least one tick); a strip advances every 5 ticks.
    const int delay = stripFrames_ ? 5 * static_cast<int>(kTickMs) : std::max<int>(kTickMs, animation_->FrameDelay(frame_));
    elapsedMs_ += kTickMs;
    if (elapsedMs_ < delay) return;
    elapsedMs_ = 0;
    frame_ = (frame_ + 1) % FrameCount();
    manager_.Invalidate();
}

void LoadingWnd::DrawControls(cairo_t* cr) {
    const CRect client = GetClientRect();
    if (logo_)
        MRender::DrawImage(cr, logo_->Frame(0),
                           CRect::FromSize((client.Width() - logo_->Width()) / 2, client.Height() / 4 - logo_->Height() / 2,
                                           logo_->Width(), logo_->Height()),
                           0, 0, logo_->Width(), logo_->Height());
    if (!animation_) return;
    const int w = stripFrames_ ? animation_->Width() / stripFrames_ : animation_->Width();
    const int h = animation_->Height();
    const CRect dest = CRect::FromSize((client.Width() - w) / 2, client.Height() * 2 / 3 - h / 2, w, h);
    if (stripFrames_)
        MRender::DrawImage(cr, animation_->Frame(0), dest, frame_ * w, 0, w, h);
    else
        MRender::DrawImage(cr, animation_->Frame(frame_), dest, 0, 0, w, h);
}

void LoadingWnd::DrawWindow() { manager_.Invalidate(); }

} // namespace Pelta
