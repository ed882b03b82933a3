#include "pelta/core/popup.h"

namespace Pelta {

MPopupWnd::MPopupWnd() { colourKey_ = 0xF1F1F1; }

int MPopupWnd::OnInitDialog() {
    manager_.Init(this, this);
    manager_.EnableWndDrag(0);
    SetCloseOnOutsidePress(true);
    client_ = GetClientRect();
    InitUI(client_);
    return 1;
}

long MPopupWnd::OnNcActivate(unsigned active) {
    if (active == WA_INACTIVE) CloseWindow();
    return 0;
}

long MPopupWnd::SendMessageToParent(unsigned code, unsigned wParam, long lParam) {
    if (auto* dialog = dynamic_cast<MDialog*>(parent_)) return dialog->OnMessage(0, code, wParam, lParam);
    return parent_ ? parent_->OnBaseMessage(0, code, wParam, lParam) : 0;
}

} // namespace Pelta
