// LoadingWnd: a small window showing the logo and a looping animation while something loads.
#pragma once

#include <memory>

#include "pelta/core/popup.h"

namespace Pelta {

class Image;

class PELTA_API LoadingWnd : public MPopupWnd {
public:
    static constexpr unsigned kFrameTimer = 100;
    static constexpr unsigned kTickMs = 18;

    LoadingWnd();
    ~LoadingWnd() override;

    // Loads "loading/loading.gif" and "logo/logo_loading.png" from the skin and shows the window.
    HWND CreateDlg(HWND parent, CRect rect);
    int LoadGifImage(const std::u16string& file);
    // A strip of frames side by side instead of a GIF.
    int LoadAnimateImage(const std::u16string& file, int frames);
    void DrawWindow();
    int GetFrame() const { return frame_; }
    int FrameCount() const;

    void OnTimer(unsigned id) override;
    WindowKind GetWindowKind() const override { return WindowKind::Utility; }
    long OnNcActivate(unsigned) override { return 0; } // stays while the program works
    void DrawControls(cairo_t* cr);

private:
    std::unique_ptr<Image> animation_;
    int stripFrames_ = 0;
    std::unique_ptr<Image> logo_;
    int frame_ = 0;
    int elapsedMs_ = 0;
};

} // namespace Pelta
