// MControl: a windowless control. Geometry, flags, owned child lists, routing of mouse, keys and
// timer ticks down the tree, notification and invalidation up the tree, and the cached drawing
// surfaces. Concrete controls override the OnControl* operations; the On* entry points route.
//
// Threads: input and painting run on the window's thread. Other threads may change controls and
// invalidate; each child list has its own lock, taken parent before child, one list at a time.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "pelta/core/control_list.h"
#include "pelta/core/object.h"
#include "pelta/core/surface.h"

namespace Pelta {

class PaintManager;

enum class CursorKind { Unset, Arrow, Wait, Cross, SizeWE, SizeNS, Hand, Help };

// Layout item: kind 0 distance from the near (or far) edge, 1 offset from the centre, 2 percent.
struct FS_POSITION_ITEM {
    int kind = 0;
    int fromFar = 0;
    float value = 0;
};

class PELTA_API MControl : public MObject {
public:
    MControl(MObject* parent, unsigned id, CRect rect, int visible, int enabled, int response);
    ~MControl() override;
    MControl(const MControl&) = delete;
    MControl& operator=(const MControl&) = delete;

    const char16_t* GetClassNameW() const override { return u"FSControl"; }

    // --- accessors -------------------------------------------------------------------------
    void SetManager(PaintManager* manager);
    PaintManager* GetManager() const { return manager_; }
    MObject* GetParantObject() const { return parent_; }
    void SetParent(MObject* parent) { parent_ = parent; }
    unsigned GetControlID() const { return id_; }
    CRect GetRect() const;
    int IsVisible() const { return visible_; }
    int IsEnabled() const { return enabled_; }
    // Snapshot of the control list (owned by this control).
    std::vector<MControl*> GetControls() const { return controls_.Snapshot(); }
    std::vector<MControl*> GetAreas() const { return areas_.Snapshot(); }

    void SetRect(CRect rect);
    void SetRect(int x, int y, int width, int height) { SetRect(CRect::FromSize(x, y, width, height)); }
    void SetVisible(int visible);
    void SetVisible(int visible, int update);
    int IsParentVisible() const;
    void SetEnabled(int enabled);
    void UpdateControl(int changed, int force);
    void UpdateControl(CRect area, int changed, int force);
    void UpdateAControl(int changed, int force);
    // The one way a control notifies: parent->OnBaseMessage(id, code, wParam, lParam).
    long SendMessageW(unsigned code, unsigned wParam, long lParam);
    // Depth-first, control list before area list, each child before its subtree.
    MControl* GetControl(unsigned id) const { return ControlList::Find(controls_, areas_, id); }
    int RemoveControl(MControl* control);
    void RemoveAllControl();
    // Appends an owned child (kind 1: control list, 0: area list). Used by the factory.
    void AddChild(std::unique_ptr<MControl> control, int kind);

    void SetTooltip(const char16_t* text) { tooltip_ = text ? text : u""; }
    void SetTooltip(const std::u16string& text, CRect area);
    void ClearTooltip();
    const std::u16string& GetTooltipText() const { return tooltip_; }
    int SetCursorEx(const char16_t* name);
    void AddMTimer();

    void SetRunTimer(int v) { runTimer_ = v; }
    int IsRunTimer() const { return runTimer_; }
    void SetTabStop(int v) { tabStop_ = v; }
    int IsTabStop() const { return tabStop_; }
    void SetDragDrop(int v) { dragDrop_ = v; }
    int IsDragDrop() const { return dragDrop_; }
    void SetRresponse(int v) { response_ = v; }
    int GetRresponse() const { return response_; }
    int GetDblClk() const { return dblClk_; }
    int IsKeyDown() const { return keyDown_; }
    int IsFocused() const { return focused_; }
    int IsFocusControl() const;
    int GetUpdate() const { return update_.load(); }
    int UseImageECM() const { return imageEcm_; }

    MControl* GetFocusControl() const;
    MControl* GetNextFocusableControl() const;
    MControl* GetPrevFocusableControl() const;

    // --- drawing ---------------------------------------------------------------------------
    // cr draws on the window-sized off-screen surface in client coordinates.
    void Draw(cairo_t* cr, CRect clip);
    // Marks the cache valid and (re)creates it at cx x cy. True when the control must render
    // into it: it was invalid or its size changed.
    bool UpdateMemDC(int cx, int cy);
    cairo_surface_t* GetMemSurface() const { return memSurface_.get(); }
    bool UpdateAnimateDC(int cx, int cy);
    cairo_surface_t* GetAnimateSurface() const { return animateSurface_.get(); }
    int IsAnimate() const { return animate_; }
    // Picture of the control for dragging; null when it has none.
    SurfacePtr GetDropBitmap() { return GetControlDropBitmap(); }

    static int PositionItem2Value(const FS_POSITION_ITEM& item, int a, int b);

    // --- routing entry points ---------------------------------------------------------------
    long OnMouseMove(unsigned flags, CPoint pt);
    long OnLButtonDown(unsigned flags, CPoint pt) { return RoutePress(false, flags, pt); }
    long OnLButtonUp(unsigned flags, CPoint pt) { return RouteRelease(false, flags, pt); }
    long OnLButtonDblClk(unsigned flags, CPoint pt) { return RouteDoubleClick(false, flags, pt); }
    long OnRButtonDown(unsigned flags, CPoint pt) { return RoutePress(true, flags, pt); }
    long OnRButtonUp(unsigned flags, CPoint pt) { return RouteRelease(true, flags, pt); }
    long OnRButtonDblClk(unsigned flags, CPoint pt) { return RouteDoubleClick(true, flags, pt); }
    long OnScroll(int direction, unsigned down, CPoint pt);
    long OnKeyDown(unsigned vk, unsigned repeat, unsigned modifier);
    long OnKeyUp(unsigned, unsigned, unsigned) { return 0; }
    long OnTimer();
    long OnFocus(int focus) { return SetControlFocus(focus); }

    // --- what concrete controls override ----------------------------------------------------
    virtual void InitControl(PaintManager* manager);
    virtual int PtInRect(CPoint pt) const;
    virtual void DrawControl(cairo_t* cr, CRect clip);
    virtual int DrawSubControls(cairo_t* cr, CRect clip);
    virtual int IsDraw(CPoint) { return 0; }
    virtual void SetUpdate(int update, unsigned long reserved = 0);
    virtual int SetControlFocus(int focus);
    virtual void InitUI(CRect) {}
    virtual int OnMousePointChange(CPoint&) { return 0; }
    virtual int OnCheckMouseResponse(unsigned, CPoint) { return 1; }
    virtual long OnWindowMessage(unsigned, unsigned, long) { return 0; }
    virtual long OnMessage(unsigned, unsigned, unsigned, long) { return 0; }
    virtual void SetControlRect(CRect rect);
    virtual void SetControlVisible(int visible) { visible_ = visible; }
    virtual void SetControlWndVisible(int) {}
    virtual void SetControlEnabled(int enabled) { enabled_ = enabled; }
    virtual long OnControlTimer() { return 0; }
    virtual SurfacePtr GetControlDropBitmap() { return nullptr; }
    virtual long OnControlMouseMove(unsigned, CPoint) { return 0; }
    virtual long OnControlSetCursor(unsigned, CPoint pt);
    virtual long OnControlLButtonDown(unsigned, CPoint) { return 0; }
    virtual long OnControlLButtonUp(unsigned, CPoint) { return 0; }
    virtual long OnControlLButtonDblClk(unsigned, CPoint) { return 0; }
    virtual long OnControlScroll(int, unsigned, CPoint) { return 0; }
    virtual long OnControlRButtonDown(unsigned, CPoint) { return 0; }
    virtual long OnControlRButtonUp(unsigned, CPoint) { return 0; }
    virtual long OnControlRButtonDblClk(unsigned, CPoint) { return 0; }
    virtual long OnControlKeyDown(unsigned vk, unsigned repeat, unsigned modifier);
    virtual void OnPositionChange() {}
    virtual void InvalidateRect(const CRect* area, int erase);

protected:
    void ParentUpdate(CRect area, int changed);
    long RoutePress(bool right, unsigned flags, CPoint pt);
    long RouteRelease(bool right, unsigned flags, CPoint pt);
    long RouteDoubleClick(bool right, unsigned flags, CPoint pt);
    // Point a child receives: scroll-bar children (ids 1 and 2) get the untranslated one.
    static CPoint PointFor(const MControl* child, CPoint untranslated, CPoint translated);
    // Walks the subtree (this included), e.g. so the manager can forget a control being removed.
    template <class F> void ForEachInTree(F&& f);

    MObject* parent_;
    PaintManager* manager_ = nullptr;
    unsigned id_;
    CRect rect_;
    int visible_;
    int enabled_;
    int dragDrop_ = 0;
    int response_;
    int tabStop_ = 0;
    int dblClk_ = 0;
    int pressedInside_ = 0;
    int keyDown_ = 0;
    int focused_ = 0;
    unsigned hotKeyVk_ = 0;
    unsigned hotKeyModifier_ = 0;
    std::atomic<int> update_{0};
    int animate_ = 0;
    int runTimer_ = 0;
    int imageEcm_ = 0;
    ControlList areas_;
    ControlList controls_;
    MControl* current_ = nullptr;
    SurfacePtr memSurface_;
    SurfacePtr animateSurface_;
    std::u16string tooltip_;
    CursorKind cursor_ = CursorKind::Unset;
    int hoverTracking_ = 0;
    int inside_ = 1;

    friend class PaintManager;
};

template <class F> void MControl::ForEachInTree(F&& f) {
    f(this);
    for (MControl* c : GetAreas()) c->ForEachInTree(f);
    for (MControl* c : GetControls()) c->ForEachInTree(f);
}

} // namespace Pelta
