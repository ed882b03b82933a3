// PaintManager: one per window. Routes the window's mouse, key, timer and paint messages to its
// control tree, keeps focus and hover, control timers and the animation tick, merges invalidations
// into one paint, composes each frame off-screen, and owns the window's images and fonts.
//
// Threads: everything runs on the window's thread except InvalidateRect/OnControlUpdate (any
// thread) and OnMTimer (the timer thread), which only post to the window.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "pelta/core/control.h"
#include "pelta/core/font_table.h"
#include "pelta/core/messages.h"
#include "pelta/core/image_cache.h"
#include "pelta/core/render.h"
#include "pelta/core/rk_timer.h"

namespace Pelta {

class MWindow;
class TooltipWnd;
class MAirBladder;
class MShadow;

enum enumBackMode { BACK_MODE_NORMAL = 0, BACK_MODE_FRAME = 1 };
enum MsgLevel { MSG_INFO = 0, MSG_WARNING = 1, MSG_ERROR = 2 };

// Window-timer ids the overlay keeps for itself (and the caret).
enum ReservedTimer : unsigned { TIMER_MESSAGE_HOLD = 66, TIMER_MESSAGE_FADE = 88, TIMER_PROGRESS = 99, TIMER_CARET = 6553 };

class PELTA_API PaintManager : public RKTimer {
public:
    PaintManager();
    ~PaintManager() override;

    // --- window ----------------------------------------------------------------------------
    // owner is the object the window's own controls notify (the dialog).
    void Init(MWindow* window, MObject* owner);
    HWND GetPaintWnd() const { return hwnd_; }
    MWindow* GetWindow() const { return window_; }
    MObject* GetMDialog() const { return owner_; }
    bool IsInitialized() const { return initialized_; }
    void Invalidate();
    void InvalidateRect(CRect area, int erase = 0);
    CRect GetClientRect() const;
    CRect GetWindowRect() const;
    CSize GetClientSize() const;
    void SetCaptionRect(CRect r) { caption_ = r; }
    CRect GetCaptionRect() const { return caption_; }
    // Limits for resizing by the user and by the program (0: none).
    void SetWindowMaxSize(int w, int h);
    void SetWindowMixSize(int w, int h);
    CSize GetWindowManSize() const { return maxSize_; }
    CSize GetWindowMinSize() const { return minSize_; }
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const { return captured_; }
    void SetLayeredWindow(int layered) { layered_ = layered != 0; }
    bool IsLayered() const { return layered_; }
    void EnableWndDrag(int enable) { wndDrag_ = enable != 0; }
    void SetBackColor(COLORREF inner, COLORREF border);
    void SetBackMode(enumBackMode mode, int value);
    int LoadBKImage(const std::u16string& file);
    void SetCursor(CursorKind cursor);
    void SetScrollResID(unsigned vertical, unsigned horizontal) { scrollV_ = vertical, scrollH_ = horizontal; }
    unsigned GetScrollVID() const { return scrollV_; }
    unsigned GetScrollHID() const { return scrollH_; }

    // --- controls --------------------------------------------------------------------------
    // kind 0 area, 1 control; null for an unknown class name or another kind.
    MControl* CreateControl(unsigned kind, MObject* parent, const std::u16string& className, unsigned id, CRect rect,
                            const std::u16string& text, int p1, int p2);
    MControl* CreateControl(const std::u16string& className, unsigned id, CRect rect, const std::u16string& text,
                            int p1, int p2) {
        return CreateControl(1, owner_, className, id, rect, text, p1, p2);
    }
    MControl* CreateArea(const std::u16string& className, unsigned id, CRect rect, const std::u16string& text,
                         int p1, int p2) {
        return CreateControl(0, owner_, className, id, rect, text, p1, p2);
    }
    // Takes a control made elsewhere (a derived window's own parts).
    MControl* AddControl(std::unique_ptr<MControl> control, unsigned kind = 1);
    MControl* GetControl(unsigned id) const { return ControlList::Find(controls_, areas_, id); }
    std::vector<MControl*> GetControls() const { return controls_.Snapshot(); }
    std::vector<MControl*> GetAreas() const { return areas_.Snapshot(); }
    int RemoveControl(MControl* control);
    void RemoveAllControls();
    // A control leaving the tree: drop every reference to it and its subtree.
    void ForgetControl(MControl* control);
    // Deletes after the message being handled, so routing that still holds it stays valid.
    void DeleteLater(std::unique_ptr<MControl> control);

    void SetFocusControl(MControl* control);
    MControl* GetFocusControl() const { return focus_; }
    MControl* GetHoverControl() const { return hover_; }
    MControl* GetNextFocusableControl() const;
    MControl* GetPrevFocusableControl() const;

    // --- messages --------------------------------------------------------------------------
    long OnControlUpdate(CRect area, int changed, MControl* control);
    // Non-zero: handled.
    long OnWindowMessage(unsigned msg, unsigned wParam, long lParam);
    int PreTranslateMessage(const MSG& msg);
    void DestroyData();

    // --- timers ----------------------------------------------------------------------------
    int SetTimer(MControl* control, unsigned key, unsigned elapseMs);
    void KillTimer(MControl* control, unsigned key);
    void KillTimer(MControl* control);
    void ClearTimers();
    // System timer id behind a control timer (0 when none).
    unsigned GetTimerSystemId(MControl* control, unsigned key) const;
    using RKTimer::KillTimer;
    using RKTimer::SetTimer;

    void SetMTimer(unsigned periodMs);
    void KillMTimer();
    void AddMTimer(MControl* control);
    bool DeleteFSTimer(MControl* control);
    void OnMTimer(unsigned id) override;
    int TickCount() const { return ticks_; }

    // --- tooltip ---------------------------------------------------------------------------
    int SetTooltip(const std::u16string& text, CRect rect);
    void ClearTooltip();
    TooltipWnd* GetToolTipWnd() const { return tooltip_.get(); }
    void SetTooltipCtrlID(int id) { tooltipOwner_ = id; }
    int GetTooltipCtrlID() const { return tooltipOwner_; }

    // --- balloon tip and shadow -------------------------------------------------------------
    // Creates the window's balloon on first use, passes the call on and shows it.
    void SetAirBladderMsg(const std::u16string& text, CPoint anchor, int type, int mode = 3);
    int ShowAirBladder(int show, int ownerId);
    MAirBladder* GetAirBladder() const { return balloon_.get(); }
    void CreateShadow(int show);
    MShadow* GetShadow() const { return shadow_.get(); }
    int SetShadowShow(int show);
    int DisableShadow(int disable);
    int SetShadowColor(COLORREF colour);
    int SetShadowImage(const std::u16string& file, CRect corner);
    int SetSize(int size);
    int SetSharpness(unsigned sharpness);
    int SetDarkness(unsigned darkness);
    int SetPosition(int x, int y);
    // The owner moved, resized, showed or hid.
    void UpdateShadow();

    // --- overlay ---------------------------------------------------------------------------
    void SetMessage(const std::u16string& text, CRect rect, MsgLevel level);
    void SetProgress(int percent, const std::u16string& text, CRect rect);
    void SetMessageOffset(int offset) { overlayOffset_ = offset; }
    int GetOverlayAlpha() const { return overlayAlpha_; }
    int GetShownProgress() const { return shownProgress_; }

    // --- resources -------------------------------------------------------------------------
    ImageCache& Images() { return images_; }
    FontTable& Fonts() { return fonts_; }
    const ImgResInfo* AddImgResInfo(const std::u16string& file, int count) { return images_.AddImgResInfo(file, count); }
    // Family to draw the process font with; empty for the default sans family.
    std::string DefaultFamily();

    // --- painting --------------------------------------------------------------------------
    // Composes the invalid area and presents it; what WM_PAINT runs.
    void Paint();
    // Composes the whole window into the off-screen surface without presenting (benchmarks).
    void Compose(CRect area);
    cairo_surface_t* GetOffscreen() const { return offscreen_.get(); }
    // Drawing of a window's own, after its controls (the loading window's animation).
    void SetOverlayPainter(std::function<void(cairo_t*)> painter) { painter_ = std::move(painter); }
    int PaintCount() const { return paints_; }

private:
    struct ControlTimer {
        MControl* control;
        unsigned key;
        unsigned systemId;
        bool running;
    };
    struct DispatchScope;

    void RouteMouseMove(unsigned flags, CPoint pt);
    void RouteButtonDown(unsigned msg, unsigned flags, CPoint pt);
    void RouteButtonUp(unsigned msg, unsigned flags, CPoint pt);
    void RouteWheel(unsigned wParam, long lParam);
    void MouseLeave();
    void ActivationLost();
    long KeyDown(unsigned vk);
    void Tick();
    void OnTimerMessage(unsigned id);
    void Resize();
    unsigned NextTimerId();
    void DrawBackground(cairo_t* cr);
    void DrawOverlay(cairo_t* cr);
    void StartFade();
    void SchedulePaint();

    MWindow* window_ = nullptr;
    MObject* owner_ = nullptr;
    std::atomic<HWND> hwnd_{0};
    bool initialized_ = false;
    CRect caption_;
    CSize maxSize_, minSize_;
    COLORREF inner_ = 0x130D09;
    COLORREF border_ = 0x555028;
    bool layered_ = false;
    std::unique_ptr<Image> background_;
    enumBackMode backMode_ = BACK_MODE_NORMAL;
    int backValue_ = 4;
    bool wndDrag_ = true;
    unsigned scrollV_ = 0, scrollH_ = 0;

    // Mouse state.
    bool tracking_ = false;
    bool captured_ = false;
    bool pressed_ = false;
    MControl* hover_ = nullptr;
    MControl* focus_ = nullptr;
    MControl* dragControl_ = nullptr; // armed: pressed on a drag-enabled control
    bool dragging_ = false;           // a control is being dragged inside the window
    CPoint lastPoint_;
    bool movingWindow_ = false;
    CPoint moveStart_;  // screen point of the press
    CRect moveWindow_;  // window rect at the press

    ControlList areas_;
    ControlList controls_;
    std::vector<std::unique_ptr<MControl>> graveyard_;
    int dispatchDepth_ = 0;

    mutable std::mutex timerLock_;
    std::vector<ControlTimer> timers_;
    unsigned timerCounter_ = 0;

    std::atomic<unsigned> animationTimer_{0};
    std::mutex tickLock_;
    std::vector<MControl*> tickList_;
    std::atomic<bool> tickPending_{false};
    std::atomic<int> ticks_{0};

    std::unique_ptr<TooltipWnd> tooltip_;
    std::unique_ptr<MAirBladder> balloon_;
    std::unique_ptr<MShadow> shadow_;
    int tooltipOwner_ = 0;

    std::u16string overlayText_;
    MsgLevel overlayLevel_ = MSG_INFO;
    int overlayAlpha_ = 0;
    int shownProgress_ = 0;
    int targetProgress_ = 0;
    bool overlayHasProgress_ = false;
    CRect overlayRect_;
    int overlayOffset_ = 0;

    ImageCache images_;
    FontTable fonts_;

    std::mutex dirtyLock_;
    CRect dirty_;
    std::atomic<bool> paintPending_{false};
    std::atomic<int64_t> lastPaintNs_{0};
    SurfacePtr offscreen_;
    int paints_ = 0;
    std::function<void(cairo_t*)> painter_;
};

} // namespace Pelta
