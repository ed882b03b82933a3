// MShadow: a soft drop shadow in a window of its own behind its owner, following it. The picture is
// the owner's rectangle widened by size, its edge softened with a round kernel.
#pragma once

#include <memory>

#include "pelta/core/render.h"
#include "pelta/core/window.h"

namespace Pelta {

class PaintManager;
class Image;

class PELTA_API MShadow {
public:
    MShadow();
    ~MShadow();

    bool Create(PaintManager* owner);
    void ShowShadow(int show);
    int IsShowShadow() const { return show_; }
    void DisableShadow(int disable);
    int IsDisableShadow() const { return disabled_; }
    // Follows the owner's current rect and visibility.
    void Update();

    // Each returns 0 and changes nothing for a value outside its range.
    int SetDarkness(unsigned darkness);   // 0..255
    int SetSharpness(unsigned sharpness); // 0..35
    int SetSize(int size);                // -35..35
    int SetPosition(int x, int y);        // each -35..35
    int SetColor(COLORREF colour);
    int SetImage(const std::u16string& file, CRect corner);
    void CopyShadow(const MShadow& other);

    unsigned GetDarkness() const { return darkness_; }
    unsigned GetSharpness() const { return sharpness_; }
    int GetSize() const { return size_; }
    CPoint GetPosition() const { return offset_; }

    // Alpha of a kernel point at distance d from its centre.
    int KernelAlpha(double d) const;
    // The shadow picture for an owner of w x h, and where it sits relative to the owner's top-left.
    SurfacePtr MakeShadow(int w, int h, CPoint* origin) const;
    static uint32_t PreMultiply(COLORREF colour, uint8_t alpha);
    MWindow* Window() const { return window_.get(); }

private:
    PaintManager* owner_ = nullptr;
    std::unique_ptr<MWindow> window_;
    unsigned darkness_ = 150;
    unsigned sharpness_ = 5;
    int size_ = 0;
    CPoint offset_{5, 5};
    COLORREF colour_ = 0;
    std::unique_ptr<Image> image_;
    CRect corner_;
    int show_ = 0;
    int disabled_ = 0;
};

} // namespace Pelta
