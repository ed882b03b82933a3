#include "pelta/core/menu.h"

#include "pelta/core/manager.h"
#include "pelta/core/text.h"

namespace Pelta {

MenuWnd::MenuWnd(MObject* parent) : face_(Manager::GetFontName()), size_(Manager::GetFontWidth()) {
    parent_ = parent;
    colourKey_ = 0xFFFFFF;
}

FontSpec MenuWnd::MenuFont() {
    return {manager_.Fonts().Resolve(ToUtf8(face_)).value_or(""), size_, FontStyleRegular};
}

HWND MenuWnd::Create(HWND parent, CPoint pt, unsigned message, const std::u16string& backImage, int backValue,
                     int width, enumBackMode mode) {
    parentWnd_ = parent;
    message_ = message;
    width_ = width;
    const HWND handle = MWindow::Create(parent, u"Menu Window", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                                        CRect::FromSize(pt.x, pt.y, width, width));
    if (!handle) return 0;
    if (!backImage.empty()) manager_.LoadBKImage(backImage);
    manager_.SetBackMode(mode, backValue);
    return handle;
}

MenuItem* MenuWnd::AddMenu(const std::u16string& text, unsigned id, const std::u16string& image, int, int) {
    const int needed = MRender::GetTextBounds(MenuFont(), text).cx + iconArea_ + 4;
    if (needed > width_) width_ = needed;
    auto* item = static_cast<MenuItem*>(CreateControl(u"MenuItem", id, CRect{}, text, 1, 1));
    if (!item) return nullptr;
    item->SetFont(face_, size_, FontStyleRegular);
    if (!image.empty()) item->SetImage(image.c_str(), 4);
    SetMenuPoint();
    return item;
}

MenuItem* MenuWnd::AddSeparator(unsigned id, const std::u16string& image) {
    auto* item = static_cast<MenuItem*>(CreateControl(u"MenuItem", id, CRect{}, u"", 1, 1));
    if (!item) return nullptr;
    item->SetSeparator(1);
    if (!image.empty()) item->SetImage(image.c_str(), 1);
    SetMenuPoint();
    return item;
}

void MenuWnd::SetMenuPoint() {
    int y = top_;
    for (MControl* c : GetControls()) {
        auto* item = dynamic_cast<MenuItem*>(c);
        if (!item) continue;
        if (!item->IsVisible()) {
            item->SetRect(CRect{});
        } else if (item->IsSeparator()) {
            item->SetRect(CRect{iconArea_ + 1, y + 1, width_ - 1, y + 2});
            y += 4;
        } else {
            item->SetRect(CRect{2, y, width_ - 2, y + itemHeight_});
            y += itemHeight_;
            item->SetIconAreaWidth(iconArea_);
            item->SetHoverColor(hoverColour_);
        }
    }
    const CRect r = GetWindowRect();
    SetWindowPos(CRect::FromSize(r.left, r.top, width_, y + bottom_));
}

long MenuWnd::OnMessage(unsigned id, unsigned code, unsigned wParam, long) {
    if (MWindow* parent = Manager::FindWnd(parentWnd_)) parent->PostMessageW(message_, wParam, static_cast<long>(id));
    if (code == NOTIFY_CLICK) CloseWindow();
    return 0;
}

long MenuWnd::PostNcDestroy() {
    if (InModal())
        DeleteWhenModalEnds();
    else
        delete this;
    return 0;
}

} // namespace Pelta
