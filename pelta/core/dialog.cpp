#include "pelta/core/dialog.h"

namespace Pelta {

MDialog::MDialog() = default;

// The manager's controls may call back into the dialog while they go: release them while it is whole.
MDialog::~MDialog() { manager_.DestroyData(); }

int MDialog::OnInitDialog() {
    manager_.Init(this, this);
    client_ = GetClientRect();
    InitUI(client_);
    return 1;
}

void MDialog::OnDestroyMessage(HWND handle) {
    if (manager_.GetPaintWnd() == handle) manager_.DestroyData();
    PostNcDestroy();
}

long MDialog::OnWindowMessage(unsigned msg, unsigned wParam, long lParam) {
    const CPoint pt = PointFromParam(lParam);
    switch (msg) {
    case WM_CREATE: OnCreate(); break;
    case WM_DESTROY: OnDestroy(); break;
    case WM_SIZE:
        OnSize(wParam, pt.x, pt.y);
        manager_.UpdateShadow();
        break;
    case WM_MOVE: manager_.UpdateShadow(); break;
    case WM_PAINT: OnPaint(); break;
    case WM_CLOSE: OnClose(); break;
    case WM_ACTIVATE: OnNcActivate(wParam); break;
    case WM_TIMER: OnTimer(wParam); break;
    case WM_MOUSEMOVE: OnMouseMove(wParam, pt); break;
    case WM_MOUSELEAVE: OnMouseLeave(); break;
    case WM_MOUSEHOVER: OnMouseHover(); break;
    case WM_MOUSEWHEEL: OnMouseWheel(wParam, pt); break;
    case WM_LBUTTONDOWN: OnLButtonDown(wParam, pt); break;
    case WM_LBUTTONUP: OnLButtonUp(wParam, pt); break;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(wParam, pt); break;
    case WM_RBUTTONDOWN: OnRButtonDown(wParam, pt); break;
    case WM_RBUTTONUP: OnRButtonUp(wParam, pt); break;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(wParam, pt); break;
    case WM_KEYDOWN: OnKeyDown(wParam, static_cast<unsigned>(lParam)); break;
    case WM_ERASEBKGND: return 1;
    case WM_USER_CLOSE: return OnUserCloseWindow(wParam, lParam);
    default: break;
    }
    // The window may be gone after a handler (a host that destroys itself on a click).
    if (!GetSafeHwnd()) return 0;
    if (const long handled = manager_.OnWindowMessage(msg, wParam, lParam)) return handled;
    return MWindow::OnWindowMessage(msg, wParam, lParam);
}

long MDialog::OnUserCloseWindow(unsigned wParam, long lParam) {
    PostMessageW(WM_CLOSE, wParam, lParam);
    return 1;
}

long MDialog::OnSize(unsigned, int, int) {
    if (IsIconic()) return 0;
    SetupBackTranslucent();
    client_ = GetClientRect();
    if (client_.Width() > 1 && client_.Height() > 1) UISize(client_);
    manager_.Invalidate();
    return 0;
}

CPoint MDialog::GetAirBladderPoint(MControl* control, unsigned type) {
    if (!control) return {0, 0};
    const CRect r = control->GetRect();
    const int x = type == 1 ? r.left + r.Width() / 2 : type == 2 ? r.right : r.left;
    return ClientToScreen(CPoint{x, r.bottom});
}

void MDialog::ShowWindow(int showCommand) {
    MWindow::ShowWindow(showCommand);
    manager_.UpdateShadow();
}

void MDialog::SetupBackTranslucent() {
    if (!Native()) return;
    if (alpha_ < 255) Native()->SetOpacity(alpha_ / 255.0);
}

} // namespace Pelta
