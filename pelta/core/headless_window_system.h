// Windows without a display: each keeps the pixels presented to it, and input is synthetic. The
// window code above is the same as with SDL.
#pragma once

#include <set>

#include "pelta/core/window_system.h"

namespace Pelta {

class PELTA_API HeadlessWindow : public NativeWindow {
public:
    explicit HeadlessWindow(const WindowParams& params);
    void Show(int showCommand) override;
    bool IsVisible() const override { return visible_; }
    bool IsMinimized() const override { return minimized_; }
    bool IsMaximized() const override { return maximized_; }
    CRect GetWindowRect() const override { return rect_; }
    void SetWindowRect(CRect rect) override;
    void SetSizeLimits(CSize minimum, CSize maximum) override { min_ = minimum, max_ = maximum; }
    void SetTitle(const std::string& title) override { title_ = title; }
    std::string GetTitle() const override { return title_; }
    void SetTopMost(bool topMost) override { topMost_ = topMost; }
    void SetOpacity(double opacity) override { opacity_ = opacity; }
    void Raise() override {}
    void SetCapture(bool capture) override { captured_ = capture; }
    void SetCursor(CursorKind cursor) override { cursor_ = cursor; }
    void Present(cairo_surface_t* picture, CRect area) override;

    // What the user would see: the presented pixels, window-sized.
    cairo_surface_t* Screen() const { return screen_.get(); }
    int PresentCount() const { return presents_; }
    bool IsCaptured() const { return captured_; }
    CursorKind Cursor() const { return cursor_; }
    bool IsTopMost() const { return topMost_; }

private:
    CRect rect_;
    CSize min_, max_;
    std::string title_;
    bool visible_ = false;
    bool minimized_ = false;
    bool maximized_ = false;
    bool topMost_ = false;
    bool captured_ = false;
    double opacity_ = 1.0;
    CursorKind cursor_ = CursorKind::Arrow;
    SurfacePtr screen_;
    int presents_ = 0;
};

class PELTA_API HeadlessWindowSystem : public WindowSystem {
public:
    std::unique_ptr<NativeWindow> CreateNativeWindow(HWND handle, const WindowParams& params) override;
    bool IsKeyDown(unsigned vk) const override;
    CRect WorkArea() const override { return workArea_; }
    CPoint CursorPos() const override { return cursor_; }
    void SetWorkArea(CRect area) { workArea_ = area; }

    // Synthetic input, in client coordinates of hwnd, queued as the native system would.
    void MouseMove(HWND hwnd, int x, int y);
    void MouseDown(HWND hwnd, int x, int y, bool right = false);
    void MouseUp(HWND hwnd, int x, int y, bool right = false);
    void Click(HWND hwnd, int x, int y, bool right = false);
    void DoubleClick(HWND hwnd, int x, int y, bool right = false);
    void MouseLeave(HWND hwnd);
    // delta in notches of 120; the point in client coordinates (sent as screen coordinates).
    void Wheel(HWND hwnd, int x, int y, int delta);
    void KeyDown(HWND hwnd, unsigned vk);
    void KeyUp(HWND hwnd, unsigned vk);
    void Deactivate(HWND hwnd);

protected:
    void ReadNativeEvents(int timeoutMs) override;
    void Wake() override;

private:
    CPoint ToScreen(HWND hwnd, int x, int y) const;
    void PostInput(HWND hwnd, unsigned msg, unsigned wParam, long lParam);
    unsigned ButtonFlags() const;

    std::condition_variable arrived_;
    std::set<unsigned> keysDown_;
    unsigned buttons_ = 0;
    CPoint cursor_;
    CRect workArea_{0, 0, 1920, 1080};
};

} // namespace Pelta
