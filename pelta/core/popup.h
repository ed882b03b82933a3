// MPopupWnd: a borderless popup (drop-downs, menus) with its own controls. It cannot be dragged
// and closes itself when it loses activation, i.e. on a click outside it.
#pragma once

#include "pelta/core/dialog.h"

namespace Pelta {

class PELTA_API MPopupWnd : public MDialog {
public:
    MPopupWnd();

    void SetParent(MObject* parent) { parent_ = parent; }
    MObject* GetParent() const { return parent_; }
    // parent->OnMessage(0, code, wParam, lParam), for a parent that is a dialog.
    long SendMessageToParent(unsigned code, unsigned wParam, long lParam);
    void CloseWindow() { PostMessageW(WM_CLOSE, 0, 0); }

    int OnInitDialog() override;
    long OnNcActivate(unsigned active) override;
    WindowKind GetWindowKind() const override { return WindowKind::PopupMenu; }

protected:
    MObject* parent_ = nullptr;
};

} // namespace Pelta
