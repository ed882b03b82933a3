// MDialog: a borderless top-level window hosting windowless controls. Hosts override InitUI to
// build their controls through the factory and OnMessage to react to their notifications.
#pragma once

#include "pelta/core/object.h"
#include "pelta/core/paint_manager.h"
#include "pelta/core/window.h"

namespace Pelta {

enum DialogResult : unsigned { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

class PELTA_API MDialog : public MWindow, public MObject {
public:
    MDialog();
    ~MDialog() override;

    // --- MObject side ----------------------------------------------------------------------
    const char16_t* GetClassNameW() const override { return u"MDialog"; }
    long OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override {
        return OnMessage(id, code, wParam, lParam);
    }
    long OnControlUpdate(CRect area, int changed, MControl* control) override {
        return manager_.OnControlUpdate(area, changed, control);
    }

    // --- MWindow side ----------------------------------------------------------------------
    long OnWindowMessage(unsigned msg, unsigned wParam, long lParam) override;
    int PreTranslateMessage(const MSG& msg) override { return manager_.PreTranslateMessage(msg); }
    int OnInitDialog() override;
    void OnDestroyMessage(HWND handle) override;

    // Bottom-left (0), bottom-centre (1) or bottom-right (2) corner of a control, in screen coordinates.
    virtual CPoint GetAirBladderPoint(MControl* control, unsigned type);
    virtual void OnMinimize() { ShowWindow(SW_MINIMIZE); }
    virtual void OnMaximize() { ShowWindow(IsZoomed() ? SW_RESTORE : SW_MAXIMIZE); }
    virtual void InitUI(CRect) {}
    virtual void UISize(CRect) {}
    virtual long OnMessage(unsigned, unsigned, unsigned, long) { return 0; }
    virtual long OnUserCloseWindow(unsigned wParam, long lParam);
    virtual long OnCreate() { return 1; }
    virtual long OnSize(unsigned type, int cx, int cy);
    virtual long OnMouseMove(unsigned, CPoint) { return 0; }
    virtual long OnMouseLeave() { return 0; }
    virtual long OnMouseHover() { return 0; }
    virtual long OnMouseWheel(unsigned, CPoint) { return 0; }
    virtual long OnLButtonDown(unsigned, CPoint) { return 0; }
    virtual long OnLButtonUp(unsigned, CPoint) { return 0; }
    virtual long OnLButtonDblClk(unsigned, CPoint) { return 0; }
    virtual long OnRButtonDown(unsigned, CPoint) { return 0; }
    virtual long OnRButtonUp(unsigned, CPoint) { return 0; }
    virtual long OnRButtonDblClk(unsigned, CPoint) { return 0; }
    virtual long OnKeyDown(unsigned, unsigned) { return 0; }
    virtual long OnNcActivate(unsigned) { return 0; }
    virtual long OnPaint() { return 0; }
    virtual void OnTimer(unsigned) {}
    virtual long OnClose() { return 1; }
    virtual long OnDestroy() { return 0; }
    virtual long PostNcDestroy() { return 0; }

    // --- controls --------------------------------------------------------------------------
    MControl* CreateControl(const std::u16string& className, unsigned id, CRect rect, const std::u16string& text,
                            int p1, int p2) {
        return manager_.CreateControl(1, this, className, id, rect, text, p1, p2);
    }
    MControl* CreateArea(const std::u16string& className, unsigned id, CRect rect, const std::u16string& text,
                         int p1, int p2) {
        return manager_.CreateControl(0, this, className, id, rect, text, p1, p2);
    }
    MControl* GetControl(unsigned id) const { return manager_.GetControl(id); }
    std::vector<MControl*> GetControls() const { return manager_.GetControls(); }
    void SetFocusControl(MControl* control) { manager_.SetFocusControl(control); }
    PaintManager& GetPaintManager() { return manager_; }

    // End a modal run with 1, 2, 2, 6 or 7.
    void DoOK() { PostMessageW(WM_USER_CLOSE, IDOK, 0); }
    void DoCancel() { PostMessageW(WM_USER_CLOSE, IDCANCEL, 0); }
    void DoClose() { PostMessageW(WM_USER_CLOSE, IDCANCEL, 0); }
    void DoYes() { PostMessageW(WM_USER_CLOSE, IDYES, 0); }
    void DoNo() { PostMessageW(WM_USER_CLOSE, IDNO, 0); }

    void SetMTimer(unsigned periodMs) { manager_.SetMTimer(periodMs); }
    void KillMTimer(unsigned = 0) { manager_.KillMTimer(); }
    int LoadBKImage(const std::u16string& file) { return manager_.LoadBKImage(file); }
    void SetBackMode(enumBackMode mode, int value) { manager_.SetBackMode(mode, value); }
    void SetLayeredWindow(int layered) { manager_.SetLayeredWindow(layered); }
    void EnableWndDrag(int enable) { manager_.EnableWndDrag(enable); }
    int SetTooltip(const std::u16string& text, CRect rect) { return manager_.SetTooltip(text, rect); }
    void ClearTooltip() { manager_.ClearTooltip(); }
    void SetScrollResID(unsigned vertical, unsigned horizontal) { manager_.SetScrollResID(vertical, horizontal); }
    void SetMessage(const std::u16string& text, CRect rect, MsgLevel level) { manager_.SetMessage(text, rect, level); }
    void SetProgress(int percent, const std::u16string& text, CRect rect) { manager_.SetProgress(percent, text, rect); }
    void SetMessageOffset(int offset) { manager_.SetMessageOffset(offset); }
    void SetAlpha(int alpha) { alpha_ = alpha; }
    void SetColorKey(COLORREF key) { colourKey_ = key; }
    // Constant window alpha below 255 (per-pixel alpha needs a compositor and is not relied on).
    void SetupBackTranslucent();
    void SetupRegion(int) {}

    void SetAirBladderMsg(const std::u16string& text, CPoint anchor, int type) { manager_.SetAirBladderMsg(text, anchor, type); }
    void CreateShadow(int show) { manager_.CreateShadow(show); }
    int SetShadowShow(int show) { return manager_.SetShadowShow(show); }
    int SetShadowColor(COLORREF colour) { return manager_.SetShadowColor(colour); }
    int SetShadowImage(const std::u16string& file, CRect corner) { return manager_.SetShadowImage(file, corner); }
    int SetSize(int size) { return manager_.SetSize(size); }
    int SetSharpness(unsigned sharpness) { return manager_.SetSharpness(sharpness); }
    int SetDarkness(unsigned darkness) { return manager_.SetDarkness(darkness); }
    int SetPosition(int x, int y) { return manager_.SetPosition(x, y); }
    void ShowWindow(int showCommand) override;

protected:
    PaintManager manager_;
    CRect client_;
    COLORREF colourKey_ = 0xFFFFFF;
    int alpha_ = 255;
};

} // namespace Pelta
