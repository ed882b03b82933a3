// Windows, modal runs, the message loop, menus, popups, the overlay, balloon tips and shadows.
#include "pelta/core/air_bladder.h"
#include "pelta/core/menu.h"
#include "pelta/core/shadow.h"
#include "tests/pelta/pelta_fixture.h"

namespace Pelta::testing {
namespace {

// Records the messages other windows post to it.
class OwnerDialog : public HostDialog {
public:
    std::vector<MSG> posted;
    long OnWindowMessage(unsigned msg, unsigned wParam, long lParam) override {
        if (msg >= WM_USER && msg != WM_USER_CLOSE) posted.push_back({GetSafeHwnd(), msg, wParam, lParam});
        return HostDialog::OnWindowMessage(msg, wParam, lParam);
    }
};

using WindowTest = PeltaTest;

TEST_F(WindowTest, DoOkAndDoCancelEndTheModalRunWithTheirResult) {
    struct Row {
        void (MDialog::*action)();
        unsigned result;
    } rows[] = {{&MDialog::DoOK, IDOK}, {&MDialog::DoCancel, IDCANCEL}, {&MDialog::DoYes, IDYES}, {&MDialog::DoNo, IDNO}};
    for (const Row& r : rows) {
        HostDialog dialog;
        ASSERT_NE(dialog.Open(), 0u);
        (dialog.*r.action)();
        EXPECT_EQ(dialog.ShowModal(), r.result);
        EXPECT_EQ(dialog.GetSafeHwnd(), 0u) << "closing destroys the window";
    }
    HostDialog never;
    EXPECT_EQ(never.ShowModal(), 0xFFFFFFFFu);
}

TEST_F(WindowTest, OwnerIsDisabledWhileTheModalRuns) {
    OwnerDialog owner;
    const HWND ownerWnd = owner.Open();
    owner.AddProbe(1, {0, 0, 100, 100});
    HostDialog dialog;
    ASSERT_NE(dialog.Create(ownerWnd, u"Modal", 0, 0, CRect::FromSize(150, 150, 100, 80)), 0u);
    bool ownerEnabledDuringRun = true;
    dialog.AddProbe(2, {0, 0, 100, 80})->notifyClick = true;
    dialog.onNote = [&](const HostDialog::Note&) {
        ownerEnabledDuringRun = owner.IsWindowEnabled();
        dialog.DoOK();
    };
    headless->Click(ownerWnd, 10, 10); // dropped: the owner is disabled
    headless->Click(dialog.GetSafeHwnd(), 10, 10);
    EXPECT_EQ(dialog.ShowModal(), IDOK);
    EXPECT_FALSE(ownerEnabledDuringRun);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_TRUE(Only(owner.log, "down").empty());
    owner.DestroyWindow();
}

TEST_F(WindowTest, QuitDuringAModalRunEndsItAndIsPostedAgain) {
    HostDialog dialog;
    dialog.Open();
    WindowSystem::Current().PostQuit(3);
    dialog.ShowModal();
    MSG msg;
    ASSERT_FALSE(WindowSystem::Current().GetMessage(msg));
    EXPECT_EQ(msg.wParam, 3u);
    dialog.DestroyWindow();
}

TEST_F(WindowTest, AltF4NeverClosesAWindowRunByTheMessageLoop) {
    HostDialog dialog;
    const HWND hwnd = dialog.Open();
    headless->KeyDown(hwnd, VK_MENU);
    headless->KeyDown(hwnd, VK_F4);
    WindowSystem::Current().Post({hwnd, WM_CLOSE, 0, 0});
    WindowSystem::Current().PostQuit(0);
    Manager::MessageLoop();
    EXPECT_EQ(dialog.GetSafeHwnd(), hwnd);
    EXPECT_NE(Manager::FindWnd(hwnd), nullptr);
    dialog.DestroyWindow();
    EXPECT_EQ(Manager::FindWnd(hwnd), nullptr);
}

TEST_F(WindowTest, CenteringStaysInsideTheWorkArea) {
    headless->SetWorkArea({0, 0, 800, 600});
    HostDialog owner, child;
    owner.Open(CRect::FromSize(600, 400, 200, 200));
    child.Create(owner.GetSafeHwnd(), u"", 0, 0, CRect::FromSize(0, 0, 300, 100));
    child.CenterWindow();
    EXPECT_EQ(child.GetWindowRect(), CRect::FromSize(500, 450, 300, 100)); // centred on the owner, then clamped
    HostDialog lone;
    lone.Create(0, u"", 0, 0, CRect::FromSize(0, 0, 200, 100));
    lone.CenterWindow();
    EXPECT_EQ(lone.GetWindowRect(), CRect::FromSize(300, 250, 200, 100));
}

TEST_F(WindowTest, SizeLimitsHoldForProgramResizes) {
    HostDialog dialog;
    dialog.Open(CRect::FromSize(0, 0, 300, 200));
    PaintManager& pm = dialog.GetPaintManager();
    pm.SetWindowMixSize(200, 100);
    pm.SetWindowMaxSize(800, 0); // no height limit
    EXPECT_EQ(pm.GetWindowMinSize(), (CSize{200, 100}));
    EXPECT_EQ(pm.GetWindowManSize(), (CSize{800, 0}));
    struct Row {
        int w, h;
        CSize expected;
    } rows[] = {{100, 50, {200, 100}}, {1000, 2000, {800, 2000}}, {400, 300, {400, 300}}};
    for (const Row& r : rows) {
        dialog.MoveWindow(0, 0, r.w, r.h);
        EXPECT_EQ(pm.GetClientSize(), r.expected) << r.w << "x" << r.h;
    }
    dialog.DestroyWindow();
}

// --- menus ---------------------------------------------------------------------------------------

class MenuTest : public PeltaTest {
protected:
    void SetUp() override {
        PeltaTest::SetUp();
        owner.Open(CRect::FromSize(0, 0, 400, 300));
        menu = new MenuWnd(&owner);
        menuWnd = menu->Create(owner.GetSafeHwnd(), {50, 60}, 1825, 200);
        ASSERT_NE(menuWnd, 0u);
        copy = menu->AddMenu(u"Copy", 11);
        paste = menu->AddMenu(u"Paste", 12);
        menu->ShowWindow(SW_SHOW);
    }
    void TearDown() override {
        if (Manager::FindWnd(menuWnd)) menu->DestroyWindow(); // deletes itself
        owner.DestroyWindow();
        PeltaTest::TearDown();
    }
    CPoint Centre(MControl* c) {
        const CRect r = c->GetRect();
        return {r.left + r.Width() / 2, r.top + r.Height() / 2};
    }

    OwnerDialog owner;
    MenuWnd* menu = nullptr;
    HWND menuWnd = 0;
    MenuItem* copy = nullptr;
    MenuItem* paste = nullptr;
};

TEST_F(MenuTest, WidthGrowsOnlyForItemsWiderThanTheMenu) {
    EXPECT_EQ(menu->GetMenuWidth(), 200);
    EXPECT_EQ(copy->GetRect(), (CRect{2, 6, 198, 41}));
    EXPECT_EQ(paste->GetRect(), (CRect{2, 41, 198, 76}));
    EXPECT_EQ(menu->GetWindowRect(), CRect::FromSize(50, 60, 200, 82));
    menu->AddMenu(u"Restore the factory settings of every profile on this keyboard", 13);
    EXPECT_GT(menu->GetMenuWidth(), 200);
    EXPECT_EQ(menu->GetWindowRect().Width(), menu->GetMenuWidth());
    EXPECT_EQ(copy->GetRect().right, menu->GetMenuWidth() - 2);
}

TEST_F(MenuTest, ClickingAnItemPostsItsIdAndClosesTheMenu) {
    const CPoint at = Centre(paste);
    headless->MouseMove(menuWnd, at.x, at.y);
    headless->Click(menuWnd, at.x, at.y);
    menu->ShowModal(); // returns once the menu has closed itself (and deleted itself)
    Settle();
    EXPECT_EQ(Manager::FindWnd(menuWnd), nullptr);
    ASSERT_EQ(owner.posted.size(), 1u);
    EXPECT_EQ(owner.posted[0].message, 1825u);
    EXPECT_EQ(owner.posted[0].wParam, 0u);
    EXPECT_EQ(owner.posted[0].lParam, 12);
}

TEST_F(MenuTest, PressOnOneItemAndReleaseOnAnotherPostsNothing) {
    const CPoint from = Centre(copy), to = Centre(paste);
    headless->MouseMove(menuWnd, from.x, from.y);
    headless->MouseDown(menuWnd, from.x, from.y);
    headless->MouseMove(menuWnd, to.x, to.y);
    headless->MouseUp(menuWnd, to.x, to.y);
    Settle();
    EXPECT_TRUE(owner.posted.empty());
    EXPECT_NE(Manager::FindWnd(menuWnd), nullptr);
    EXPECT_EQ(copy->GetState(), 0);
}

TEST_F(MenuTest, ClickingOutsideClosesWithoutPosting) {
    headless->Deactivate(menuWnd); // where the desktop reports the lost activation
    Settle();
    EXPECT_EQ(Manager::FindWnd(menuWnd), nullptr);
    EXPECT_TRUE(owner.posted.empty());
}

TEST_F(MenuTest, PressInAnotherWindowClosesWithoutPosting) {
    headless->Click(owner.GetSafeHwnd(), 350, 250); // also without a window manager
    Settle();
    EXPECT_EQ(Manager::FindWnd(menuWnd), nullptr);
    EXPECT_TRUE(owner.posted.empty());
}

TEST_F(WindowTest, MenuItemStatesFollowTheTable) {
    HostDialog host;
    const HWND hwnd = host.Open();
    auto* item = static_cast<MenuItem*>(host.CreateControl(u"MenuItem", 4, {0, 0, 100, 30}, u"Copy", 1, 1));
    ASSERT_NE(item, nullptr);
    struct Step {
        std::function<void()> act;
        int state;
        size_t clicks;
    } steps[] = {
        {[&] { headless->MouseMove(hwnd, 10, 10); }, 1, 0},                                // move in
        {[&] { headless->MouseMove(hwnd, 10, 100); }, 0, 0},                               // move out
        {[&] { headless->MouseMove(hwnd, 10, 10), headless->MouseDown(hwnd, 10, 10); }, 2, 0}, // press
        {[&] { headless->MouseUp(hwnd, 10, 10); }, 1, 1},                                  // release inside
        {[&] { headless->MouseDown(hwnd, 10, 10), headless->MouseUp(hwnd, 10, 100); }, 0, 1}, // release outside
        {[&] { item->SetEnabled(0); }, 3, 1},
        {[&] { headless->Click(hwnd, 10, 10); }, 3, 1}, // disabled: no reaction
        {[&] { item->SetControlCheck(1), item->SetEnabled(1); }, 2, 1},
    };
    int i = 0;
    for (const Step& s : steps) {
        s.act();
        Settle();
        EXPECT_EQ(item->GetState(), s.state) << "step " << i;
        EXPECT_EQ(host.notes.size(), s.clicks) << "step " << i++;
    }
    EXPECT_EQ(host.notes.front(), (HostDialog::Note{4, NOTIFY_CLICK, 0, 0}));
    host.DestroyWindow();
}

// --- overlay -------------------------------------------------------------------------------------

TEST_F(WindowTest, ProgressAnimatesInStepsOfTwoOrJumpsWhenClose) {
    HostDialog dialog;
    dialog.Open();
    PaintManager& pm = dialog.GetPaintManager();
    pm.SetProgress(10, u"Updating", {});
    ASSERT_TRUE(PumpUntil([&] { return pm.GetShownProgress() == 10; }));
    pm.SetProgress(12, u"Updating", {});
    EXPECT_EQ(pm.GetShownProgress(), 12) << "less than 6 ahead: jumps";
    pm.SetProgress(50, u"Updating", {});
    EXPECT_EQ(pm.GetShownProgress(), 12);
    std::vector<int> seen;
    ASSERT_TRUE(PumpUntil([&] {
        if (seen.empty() || seen.back() != pm.GetShownProgress()) seen.push_back(pm.GetShownProgress());
        return pm.GetShownProgress() == 50;
    }));
    EXPECT_GT(seen.size(), 3u) << "animated, not one jump";
    for (int v : seen) EXPECT_EQ(v % 2, 0) << v;
    dialog.DestroyWindow();
}

// --- balloon and shadow --------------------------------------------------------------------------

TEST_F(WindowTest, BalloonIgnoresRepeatsAndRefusesForeignHides) {
    HostDialog dialog;
    dialog.Open();
    PaintManager& pm = dialog.GetPaintManager();
    pm.SetAirBladderMsg(u"Saved", {200, 200}, AIRBLADDER_ABOVE);
    MAirBladder* balloon = pm.GetAirBladder();
    ASSERT_NE(balloon, nullptr);
    pm.SetAirBladderMsg(u"Saved", {200, 200}, AIRBLADDER_ABOVE);
    EXPECT_EQ(balloon->ChangeCount(), 1);
    const CRect above = balloon->GetWindowRect();
    EXPECT_EQ(above.bottom, 200);
    EXPECT_LE(std::abs((above.left + above.right) / 2 - 200), 1) << "centred over the anchor";

    pm.SetAirBladderMsg(u"Saved", {200, 200}, AIRBLADDER_RIGHT);
    EXPECT_EQ(balloon->ChangeCount(), 2);
    EXPECT_EQ(balloon->GetWindowRect().left, 200);

    EXPECT_EQ(pm.ShowAirBladder(1, 7), 1);
    EXPECT_EQ(pm.ShowAirBladder(0, 8), 0);
    EXPECT_TRUE(balloon->IsWindowVisible());
    EXPECT_EQ(pm.ShowAirBladder(0, 7), 1);
    EXPECT_FALSE(balloon->IsWindowVisible());
    dialog.DestroyWindow();
}

TEST_F(WindowTest, ShadowRejectsOutOfRangeValuesAndFollowsItsOwner) {
    HostDialog dialog;
    dialog.Open(CRect::FromSize(100, 100, 200, 150));
    PaintManager& pm = dialog.GetPaintManager();
    pm.CreateShadow(1);
    MShadow* shadow = pm.GetShadow();
    ASSERT_NE(shadow, nullptr);
    EXPECT_EQ(pm.SetSize(36), 0);
    EXPECT_EQ(pm.SetPosition(0, -36), 0);
    EXPECT_EQ(pm.SetSharpness(36), 0);
    EXPECT_EQ(pm.SetDarkness(256), 0);
    EXPECT_EQ(shadow->GetSize(), 0);
    EXPECT_EQ(shadow->GetPosition(), (CPoint{5, 5}));
    EXPECT_EQ(pm.SetSize(4), 1);

    const CRect before = shadow->Window()->GetWindowRect();
    dialog.MoveWindow(130, 90, 200, 150);
    EXPECT_EQ(shadow->Window()->GetWindowRect(), before.Offset(30, -10));
    EXPECT_TRUE(shadow->Window()->IsWindowVisible());
    dialog.ShowWindow(SW_HIDE);
    EXPECT_FALSE(shadow->Window()->IsWindowVisible());
    dialog.DestroyWindow();
}

TEST(ShadowKernelTest, AlphaFallsFromDarknessToZeroAcrossTheEdge) {
    MShadow shadow; // darkness 150, sharpness 5
    ASSERT_EQ(shadow.SetSize(8), 1); // inner = 3, radius 8
    struct Row {
        double d;
        int alpha;
    } rows[] = {{0, 150}, {2.9, 150}, {3, 150}, {4, 125}, {6, 75}, {8, 25}, {8.5, 0}, {20, 0}};
    for (const Row& r : rows) EXPECT_EQ(shadow.KernelAlpha(r.d), r.alpha) << r.d;
    EXPECT_EQ(MShadow::PreMultiply(0x0000FF, 128), 0x80800000u); // red at half alpha
    CPoint origin;
    SurfacePtr picture = shadow.MakeShadow(40, 20, &origin);
    ASSERT_NE(picture, nullptr);
    const int inside = static_cast<int>(PixelAt(picture.get(), -origin.x + 5 + 20, -origin.y + 5 + 10) >> 24);
    EXPECT_EQ(inside, 150);
    EXPECT_EQ(PixelAt(picture.get(), 0, 0) >> 24, 0u);
}

} // namespace
} // namespace Pelta::testing
