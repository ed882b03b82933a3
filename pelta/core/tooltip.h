// The single tooltip of a window: a small borderless top-most window near the pointer.
#pragma once

#include "pelta/core/window.h"

namespace Pelta {

class PELTA_API TooltipWnd : public MWindow {
public:
    bool CreateFor(MWindow& owner);
    void SetText(const std::u16string& text) { text_ = text; }
    const std::u16string& GetText() const { return text_; }
    // Shows the text at a screen point (hides when show is false or the text is empty).
    void Activate(bool show, CPoint at = {});
    bool IsActive() const { return active_; }
    long OnWindowMessage(unsigned msg, unsigned wParam, long lParam) override;

    static constexpr int kMaxWidth = 256;
    WindowKind GetWindowKind() const override { return WindowKind::Tooltip; }

private:
    void Draw();

    std::u16string text_;
    bool active_ = false;
    SurfacePtr picture_;
};

} // namespace Pelta
