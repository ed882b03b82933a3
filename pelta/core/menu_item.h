// MenuItem: one command of a popup menu.
//
// State (also the cache frame shown): 0 normal, 1 hover, 2 pressed or checked, 3 disabled.
//   event                    | condition             | new state        | notifies
//   move                     | not pressed, inside   | 1                |
//   move                     | not pressed, outside  | 0                |
//   press                    | inside                | 2 (pressed flag) |
//   release                  | inside, state changed | 1                | NOTIFY_CLICK (0, 0)
//   release                  | outside               | 2 checked, else 0|
//   disable / enable         |                       | 3 / 2 checked, else 0 |
// Only enabled items react to the mouse; every release clears the pressed flag.
#pragma once

#include "pelta/core/control_font.h"

namespace Pelta {

class MenuWnd;

class PELTA_API MenuItem : public MControlFont {
public:
    MenuItem(MObject* parent, unsigned id, CRect rect, const std::u16string& title, int visible, int enabled);
    ~MenuItem() override;

    const char16_t* GetClassNameW() const override { return u"MenuItem"; }

    int SetCheck(int) { return 0; }
    void SetControlCheck(int check);
    int GetCheck() const { return check_; }
    void SetSeparator(int separator) { separator_ = separator; }
    int IsSeparator() const { return separator_; }
    int IsPopup() const { return 0; }
    int IsHover() const { return state_ == 1; }
    int GetState() const { return state_; }
    void SetFrameWidth(int width) { frameWidth_ = width; }
    void SetIconAreaWidth(int width) { iconArea_ = width; }
    void SetHoverColor(ARGB colour) { hoverColour_ = colour; }
    void SetGroupName(const std::u16string& name) { groupName_ = name; }
    std::u16string GetGroupName() const { return groupName_; }
    std::u16string GetGroupValue() const { return {}; }
    std::u16string GetValue() const { return value_; }
    int ResetGroupCheck() { return 1; }
    MenuWnd* GetParentMenu() const;
    void SetPopupMenu(MenuWnd* menu) { popup_ = menu; }
    MenuWnd* GetPopupMenu() const { return popup_; }
    void ShowPopupMenu() {}

    void SetControlEnabled(int enabled) override;
    long OnControlMouseMove(unsigned flags, CPoint pt) override;
    long OnControlLButtonDown(unsigned flags, CPoint pt) override;
    long OnControlLButtonUp(unsigned flags, CPoint pt) override;
    void DrawControl(cairo_t* cr, CRect clip) override;

private:
    void SetState(int state);
    void RenderFrames(cairo_t* screen);

    int state_ = 0;
    int check_ = 0;
    int separator_ = 0;
    int pressed_ = 0;
    int frameWidth_ = 0;
    int iconArea_ = 30;
    std::u16string groupName_ = u"Menu Group";
    std::u16string value_;
    ARGB hoverColour_ = 0xFFC95100;
    MenuWnd* popup_ = nullptr;
};

} // namespace Pelta
