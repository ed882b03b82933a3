// MControlFont: a control with a title, a font and an image strip (frames of equal width side by side).
#pragma once

#include "pelta/core/control.h"
#include "pelta/core/image_cache.h"
#include <optional>

#include "pelta/core/render.h"

namespace Pelta {

class PELTA_API MControlFont : public MControl {
public:
    MControlFont(MObject* parent, unsigned id, CRect rect, const std::u16string& title, int visible, int enabled,
                 int response);

    virtual void SetTextFont(const std::u16string& face) { face_ = face; }
    virtual void SetTextColor(ARGB colour) { textColour_ = colour; }
    // Loads file (inside the skin folder) through the window's image cache as a strip of count
    // frames. 0 when the control has no window yet or the file does not load.
    virtual int SetImage(const char16_t* file, int count);
    virtual void SetControlTitle(const char16_t* title) { title_ = title ? title : u""; }
    virtual std::u16string GetControlTitle() const { return title_; }

    void SetTitle(const char16_t* title);
    std::u16string GetTitle() const { return GetControlTitle(); }
    void SetAlignment(unsigned h);
    void SetVAlignment(unsigned v);
    void SetAlignment(unsigned h, unsigned v);
    void GetAlignment(unsigned& h, unsigned& v) const { h = hAlign_, v = vAlign_; }
    void SetFont(const std::u16string& face, int size, unsigned style) { face_ = face, size_ = size, style_ = style; }
    std::u16string GetTextFont() const { return face_; }
    void SetFontWidth(int size) { size_ = size; }
    int GetFontWidth() const { return size_; }
    void SetFontStyle(unsigned style) { style_ = style; }
    unsigned GetFontStyle() const { return style_; }
    ARGB GetTextColor() const { return textColour_; }
    // The family a face is drawn with: the window's private font or an installed family of that name.
    std::optional<std::string> GetFontFamily(const std::u16string& face) const;
    // Everything text drawing needs, falling back to the default sans family.
    FontSpec GetFontSpec() const;

    void SetImageCount(int count) { count_ = count; }
    int GetImageCount() const { return count_; }
    CSize GetImageSize() const { return {frameWidth_, frameHeight_}; }
    std::u16string GetImagePath() const { return imagePath_; }
    const ImgResInfo* GetImageInfo() const { return image_; }
    // Frame k of the strip (clamped), or null without an image.
    void DrawFrame(cairo_t* cr, int frame, CRect dest) const;
    void DrawFrameGrid(cairo_t* cr, int frame, CRect dest, int border) const;

protected:
    std::u16string title_;
    std::u16string face_;
    std::u16string imagePath_;
    int size_;
    ARGB textColour_ = 0xFFFFFFFF;
    unsigned style_ = FontStyleRegular;
    unsigned hAlign_ = 0;
    unsigned vAlign_ = 4;
    const ImgResInfo* image_ = nullptr;
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    int count_ = 4;
};

} // namespace Pelta
