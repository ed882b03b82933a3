// MenuWnd: a popup menu of MenuItem commands. A click on an item posts the menu's message to the
// parent window (wParam 0, lParam = the item's id) and closes the menu; losing activation (a click
// outside) closes it without posting. The menu deletes itself once its window is gone: create it
// with new and do not delete it.
#pragma once

#include "pelta/core/menu_item.h"
#include "pelta/core/popup.h"

namespace Pelta {

class PELTA_API MenuWnd : public MPopupWnd {
public:
    explicit MenuWnd(MObject* parent = nullptr);

    // Creates "Menu Window" at pt (screen), width wide; message is what item clicks post.
    HWND Create(HWND parent, CPoint pt, unsigned message, const std::u16string& backImage, int backValue, int width,
                enumBackMode mode);
    HWND Create(HWND parent, CPoint pt, unsigned message, int width = 300) {
        return Create(parent, pt, message, u"", 0, width, BACK_MODE_NORMAL);
    }
    MenuItem* AddMenu(const std::u16string& text, unsigned id, const std::u16string& image = u"", int = 0, int = 0);
    MenuItem* AddSeparator(unsigned id, const std::u16string& image = u"");
    // Lays the items out top to bottom and fits the window to them.
    void SetMenuPoint();

    int GetMenuWidth() const { return width_; }
    void SetMargins(int top, int bottom) { top_ = top ? top : 2, bottom_ = bottom ? bottom : 2; }
    void SetItemHeight(int height) { itemHeight_ = height; }
    void SetHoverColor(ARGB colour) { hoverColour_ = colour; }

    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    long PostNcDestroy() override;

private:
    FontSpec MenuFont();

    HWND parentWnd_ = 0;
    unsigned message_ = 0;
    std::u16string face_;
    int size_;
    int iconArea_ = 5;
    int itemHeight_ = 35;
    int width_ = 300;
    int top_ = 6;
    int bottom_ = 6;
    ARGB hoverColour_ = 0xFF285055;
};

} // namespace Pelta
