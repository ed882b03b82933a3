// A real window on the X server (Xvfb in scripts/test): what reaches the screen is what Pelta
// composed, and real pointer input reaches the control under it.
#include "pelta/core/menu.h"
#include "pelta/core/sdl_window_system.h"
#include "tests/pelta/pelta_fixture.h"

// After everything else: Xlib's macros (None, Bool, ...) clash with C++ names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace Pelta::testing {
namespace {

class X11WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X server (scripts/test starts Xvfb)";
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        auto sdl = SdlWindowSystem::Open();
        ASSERT_NE(sdl, nullptr) << "SDL cannot open the X display";
        WindowSystem::Install(std::move(sdl));
    }
    void TearDown() override {
        if (display) XCloseDisplay(display);
        WindowSystem::Install(nullptr);
    }
    static void Pump(int ms) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < until)
            if (!Manager::PumpMessages()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    Display* display = nullptr;
};

TEST_F(X11WindowTest, ScreenShowsTheComposedPixelsAndClicksReachTheControl) {
    HostDialog dialog;
    const CRect where = CRect::FromSize(40, 30, 200, 120);
    ASSERT_NE(dialog.Create(0, u"Pelta", 0, 0, where), 0u);
    Probe* left = dialog.AddProbe(1, {20, 20, 90, 100});
    Probe* right = dialog.AddProbe(2, {110, 20, 180, 100});
    left->colour = 0xFFE04010;
    right->colour = 0xFF10A0E0;
    right->notifyClick = true;
    dialog.ShowWindow(SW_SHOW);
    Pump(600); // mapped, exposed, painted
    ASSERT_GT(dialog.GetPaintManager().PaintCount(), 0);
    const CRect placed = dialog.GetWindowRect();

    XSync(display, False);
    XImage* shot = XGetImage(display, DefaultRootWindow(display), placed.left, placed.top, placed.Width(),
                             placed.Height(), AllPlanes, ZPixmap);
    ASSERT_NE(shot, nullptr);
    cairo_surface_t* composed = dialog.GetPaintManager().GetOffscreen();
    ASSERT_NE(composed, nullptr);
    int differing = 0;
    for (int y = 0; y < placed.Height(); ++y)
        for (int x = 0; x < placed.Width(); ++x)
            if ((XGetPixel(shot, x, y) & 0xFFFFFF) != (PixelAt(composed, x, y) & 0xFFFFFF)) ++differing;
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(XGetPixel(shot, 50, 60) & 0xFFFFFF, 0xE04010u);
    EXPECT_EQ(XGetPixel(shot, 150, 60) & 0xFFFFFF, 0x10A0E0u);
    XDestroyImage(shot);

    // A real click through the X server.
    XTestFakeMotionEvent(display, -1, placed.left + 150, placed.top + 60, CurrentTime);
    XSync(display, False);
    Pump(100);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
    Pump(300);
    EXPECT_EQ(Only(dialog.log, {"down", "up"}), (std::vector<std::string>{"#2 down 150,60", "#2 up 150,60"}));
    EXPECT_EQ(dialog.notes, (std::vector<HostDialog::Note>{{2, NOTIFY_CLICK, 0, 0}}));
    dialog.DestroyWindow();
}

TEST_F(X11WindowTest, PopupMenuClosesOnAClickOutsideIt) {
    HostDialog owner;
    ASSERT_NE(owner.Create(0, u"Owner", 0, 0, CRect::FromSize(20, 20, 400, 300)), 0u);
    owner.ShowWindow(SW_SHOW);
    auto* menu = new MenuWnd(&owner);
    const HWND menuWnd = menu->Create(owner.GetSafeHwnd(), {100, 100}, 1825, 160);
    menu->AddMenu(u"Copy", 11);
    menu->ShowWindow(SW_SHOW);
    Pump(400);
    ASSERT_NE(Manager::FindWnd(menuWnd), nullptr);
    XTestFakeMotionEvent(display, -1, 350, 250, CurrentTime); // on the owner, outside the menu
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
    Pump(400);
    EXPECT_EQ(Manager::FindWnd(menuWnd), nullptr) << "the menu closed";
    EXPECT_TRUE(owner.notes.empty());
    if (Manager::FindWnd(menuWnd)) menu->DestroyWindow(); // deletes itself
    owner.DestroyWindow();
}

} // namespace
} // namespace Pelta::testing
