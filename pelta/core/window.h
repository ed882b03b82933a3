// MWindow: owns one native window and turns the messages addressed to it into virtual calls.
// Every window operation runs on the thread that created the window; PostMessageW may be called
// from any thread.
#pragma once

#include <memory>
#include <string>

#include "pelta/core/window_system.h"

namespace Pelta {

// Style bits that matter here.
enum WindowStyle : unsigned long { WS_VISIBLE = 0x10000000, WS_POPUP = 0x80000000 };
enum WindowExStyle : unsigned long { WS_EX_TOPMOST = 0x8, WS_EX_TOOLWINDOW = 0x80, WS_EX_LAYERED = 0x80000 };

class PELTA_API MWindow {
public:
    MWindow();
    virtual ~MWindow();
    MWindow(const MWindow&) = delete;
    MWindow& operator=(const MWindow&) = delete;

    virtual const char16_t* GetWindowClassName() const { return u"OrvoClient"; }
    virtual const char16_t* GetSuperClassName() const { return nullptr; }
    virtual void ShowWindow(int showCommand);
    virtual long OnWindowMessage(unsigned msg, unsigned wParam, long lParam);
    virtual int PreTranslateMessage(const MSG&) { return 0; }
    virtual int OnInitDialog() { return 1; }
    virtual void OnDestroyMessage(HWND) {}
    // What the native window is made as (menus and tips do not take the focus).
    virtual WindowKind GetWindowKind() const { return WindowKind::Normal; }

    // Returns the handle; the existing one when the window exists; 0 when it cannot be made.
    HWND Create(HWND parent, const char16_t* title, unsigned long style, unsigned long exStyle, CRect rect);
    HWND Create(HWND parent) { return Create(parent, CRect{0, 0, 800, 600}); }
    HWND Create(HWND parent, CRect rect) { return Create(parent, u"OrvoClient", 0x80B, 0, rect); }

    // Runs a nested loop with the owner disabled until the window is gone; the wParam of the close
    // message, or 0xFFFFFFFF without a window.
    unsigned ShowModal(int showCommand = SW_SHOW);
    void CenterWindow(MWindow* reference = nullptr);
    void BringToTop();

    HWND GetSafeHwnd() const { return handle_; }
    HWND GetParentHwnd() const { return parent_; }
    unsigned long GetStyle() const { return style_; }
    unsigned long GetExStyle() const { return exStyle_; }
    void ModifyStyle(unsigned long remove, unsigned long add) { style_ = (style_ & ~remove) | add; }
    void ModifyExStyle(unsigned long remove, unsigned long add);
    CRect GetClientRect() const;
    CRect GetWindowRect() const;
    void SetWindowTextW(const std::u16string& text);
    std::u16string GetWindowTextW() const;
    void EnableWindow(bool enable);
    bool IsWindowEnabled() const { return handle_ && enabled_; }
    bool IsWindowVisible() const;
    bool IsIconic() const;
    bool IsZoomed() const;
    void SetCapture();
    void ReleaseCapture();
    void SetFocus();
    bool SetTimer(unsigned id, unsigned periodMs);
    void KillTimer(unsigned id);
    CPoint ClientToScreen(CPoint p) const;
    CPoint ScreenToClient(CPoint p) const;
    CRect ClientToScreen(CRect r) const;
    CRect ScreenToClient(CRect r) const;
    void SetWindowPos(CRect screenRect);
    void MoveWindow(int x, int y, int w, int h) { SetWindowPos(CRect::FromSize(x, y, w, h)); }
    void MoveWindow(CRect r) { SetWindowPos(r); }
    long SendMessageW(unsigned msg, unsigned wParam, long lParam);
    bool PostMessageW(unsigned msg, unsigned wParam, long lParam);
    void DestroyWindow();
    NativeWindow* Native() const { return native_.get(); }
    // Popups: a press in any other window of the process closes this one (posted WM_CLOSE). Losing
    // activation does the same where the desktop reports it; this also works without a window manager.
    void SetCloseOnOutsidePress(bool close);

    // Hands a queued message to its window (dropped when the window is gone, and input to a
    // disabled window is dropped as the desktop would).
    static long DispatchMessage(const MSG& msg);
    // The message being dispatched on this thread (its pointer position and modifiers).
    static const MSG& GetCurrentMessage();

protected:
    long DefWindowProc(unsigned msg, unsigned wParam, long lParam);
    // For windows that delete themselves when destroyed: inside a modal run, the deletion waits
    // until ShowModal has finished with the object.
    bool InModal() const { return inModal_; }
    void DeleteWhenModalEnds() { deleteWhenModalEnds_ = true; }

private:
    HWND parent_ = 0;
    HWND handle_ = 0;
    unsigned long style_ = 0;
    unsigned long exStyle_ = 0;
    bool enabled_ = true;
    bool inModal_ = false;
    bool deleteWhenModalEnds_ = false;
    std::unique_ptr<NativeWindow> native_;
};

} // namespace Pelta
