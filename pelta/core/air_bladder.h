// MAirBladder: the balloon tip of a window. Types place it beside an anchor point (1 right, 2 left,
// 3 below, 4 above and centred, 5 right and higher); every type but 4 hides itself after 5 s.
#pragma once

#include "pelta/core/render.h"
#include "pelta/core/window.h"

namespace Pelta {

class Image;

enum AIRBLADDER_TYPE { AIRBLADDER_RIGHT = 1, AIRBLADDER_LEFT = 2, AIRBLADDER_BELOW = 3, AIRBLADDER_ABOVE = 4, AIRBLADDER_RIGHT_HIGH = 5 };
enum AIRBLADDER_MODE { AIRBLADDER_MODE_DEFAULT = 3 };

class PELTA_API MAirBladder : public MWindow {
public:
    static constexpr unsigned kHideTimer = 10;
    static constexpr unsigned kHideAfterMs = 5000;

    MAirBladder();
    ~MAirBladder() override;
    bool CreateFor(MWindow& owner);

    // Nothing when all four equal the current ones; otherwise places, paints and shows the balloon
    // and (except type 4) restarts the hide timer.
    void SetAirBladderMsg(const std::u16string& text, CPoint anchor, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode);
    // The window rect for the current text, anchor and type (screen coordinates).
    CRect AutoFit();
    // A non-zero owner id makes showing record the owner; hiding is then refused (0) for any other id.
    int ShowAirBladder(int show, int ownerId);
    // How often the balloon actually changed (equal calls do not count).
    int ChangeCount() const { return changes_; }
    const std::u16string& GetText() const { return text_; }
    int GetLineCount() const { return lines_; }
    long OnWindowMessage(unsigned msg, unsigned wParam, long lParam) override;

    static FontSpec Font();
    WindowKind GetWindowKind() const override { return WindowKind::Tooltip; }

private:
    void Draw();

    std::u16string text_;
    CPoint anchor_{};
    AIRBLADDER_TYPE type_ = AIRBLADDER_RIGHT;
    AIRBLADDER_MODE mode_ = AIRBLADDER_MODE_DEFAULT;
    int lines_ = 1;
    int owner_ = 0;
    int changes_ = 0;
    std::unique_ptr<Image> background_;
    std::unique_ptr<Image> arrowLeft_, arrowRight_, arrowTop_;
    SurfacePtr picture_;
};

} // namespace Pelta
