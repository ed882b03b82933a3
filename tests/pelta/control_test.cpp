// Routing, focus, notification and invalidation of the control tree, driven by synthetic input
// through the headless window system.
#include <algorithm>
#include <atomic>
#include <thread>

#include "pelta/core/factory.h"
#include "pelta/core/menu_item.h"
#include "pelta/core/tooltip.h"
#include "tests/pelta/pelta_fixture.h"

namespace Pelta::testing {
namespace {

using Log = std::vector<std::string>;

class ControlTest : public PeltaTest {
protected:
    void SetUp() override {
        PeltaTest::SetUp();
        hwnd = host.Open();
        ASSERT_NE(hwnd, 0u);
    }
    void TearDown() override {
        host.DestroyWindow();
        PeltaTest::TearDown();
    }
    PaintManager& pm() { return host.GetPaintManager(); }
    ARGB Screen(int x, int y) {
        return PixelAt(static_cast<HeadlessWindow*>(host.Native())->Screen(), x, y);
    }

    HostDialog host;
    HWND hwnd = 0;
};

TEST_F(ControlTest, LaterOverlappingControlIsDrawnOnTopAndTakesTheClick) {
    Probe* a = host.AddProbe(1, {10, 10, 110, 60});
    Probe* b = host.AddProbe(2, {60, 20, 160, 80});
    a->colour = 0xFFFF0000;
    b->colour = 0xFF00FF00;
    headless->Click(hwnd, 80, 40);
    Settle();
    EXPECT_EQ(Only(host.log, {"down", "up"}), (Log{"#2 down 80,40", "#2 up 80,40"}));
    EXPECT_EQ(Screen(80, 40), 0xFF00FF00u);
    EXPECT_EQ(Screen(20, 20), 0xFFFF0000u);
}

TEST_F(ControlTest, ClickOnDisabledChildGoesToTheParentWhichTakesFocus) {
    Probe* parent = host.AddProbe(5, {0, 0, 200, 150});
    parent->Add<Probe>(6u, CRect{20, 20, 80, 80}, &host.log, 1, 0);
    headless->Click(hwnd, 30, 30);
    Settle();
    EXPECT_EQ(Only(host.log, {"down"}), (Log{"#5 down 30,30"}));
    EXPECT_EQ(pm().GetFocusControl(), parent);
}

TEST_F(ControlTest, HiddenControlIsNotDrawnIgnoresTheMouseAndIsSkippedByTab) {
    Settle();
    const ARGB background = Screen(50, 50);
    Probe* first = host.AddProbe(1, {0, 0, 40, 40});
    Probe* hidden = host.AddProbe(2, {40, 40, 80, 80}, /*visible=*/0);
    Probe* last = host.AddProbe(3, {100, 0, 140, 40});
    for (Probe* p : {first, hidden, last}) p->SetTabStop(1), p->acceptFocus = true;
    headless->Click(hwnd, 50, 50);
    Settle();
    EXPECT_EQ(Screen(50, 50), background);
    EXPECT_TRUE(Only(host.log, {"#2"}).empty());

    std::vector<MControl*> order;
    for (int i = 0; i < 3; ++i) {
        headless->KeyDown(hwnd, VK_TAB);
        headless->KeyUp(hwnd, VK_TAB);
        Settle();
        order.push_back(pm().GetFocusControl());
    }
    EXPECT_EQ(order, (std::vector<MControl*>{first, last, first})); // wraps from the last to the first
    headless->KeyDown(hwnd, VK_SHIFT);
    headless->KeyDown(hwnd, VK_TAB);
    Settle();
    EXPECT_EQ(pm().GetFocusControl(), last); // Shift+Tab from the first goes to the last
}

TEST_F(ControlTest, VisibilityAndMovesRepaintOnlyWhatChanged) {
    Settle();
    const ARGB background = Screen(15, 15);
    Probe* p = host.AddProbe(1, {10, 10, 50, 50});
    Settle();
    const int paints = pm().PaintCount();
    p->SetVisible(1); // unchanged: no repaint
    Settle();
    EXPECT_EQ(pm().PaintCount(), paints);

    p->SetRect(CRect{100, 60, 140, 100});
    Settle();
    EXPECT_EQ(Screen(15, 15), background) << "old position repainted";
    EXPECT_EQ(Screen(110, 70), p->colour) << "new position painted";

    p->SetVisible(0);
    Settle();
    EXPECT_EQ(Screen(110, 70), background);
}

TEST_F(ControlTest, GetControlSearchesDepthFirstAndTheFirstDuplicateWins) {
    Probe* outer = host.AddProbe(10, {0, 0, 100, 100});
    Probe* middle = outer->Add<Probe>(20u, CRect{0, 0, 50, 50}, &host.log);
    Probe* deep = middle->Add<Probe>(30u, CRect{0, 0, 20, 20}, &host.log);
    host.AddProbe(30, {200, 0, 220, 20}); // same id, later and shallower
    EXPECT_EQ(host.GetControl(20), middle);
    EXPECT_EQ(host.GetControl(30), deep);
    EXPECT_EQ(outer->GetControl(30), deep);
    EXPECT_EQ(host.GetControl(99), nullptr);
}

TEST_F(ControlTest, ClassIdentityIsAnExactMatch) {
    Probe* plain = host.AddProbe(1, {0, 0, 10, 10});
    MControl* item = pm().CreateControl(u"MenuItem", 2, {0, 0, 10, 10}, u"x", 1, 1);
    ASSERT_NE(item, nullptr);
    struct Row {
        MObject* object;
        std::u16string name;
        int expected;
    } rows[] = {
        {plain, u"FSControl", 1}, {plain, u"fscontrol", 0}, {plain, u"FSControl ", 0}, {plain, u"", 0},
        {item, u"MenuItem", 1},   {item, u"FSControl", 0},  {&host, u"MDialog", 1},
    };
    for (const Row& r : rows) EXPECT_EQ(r.object->IsClass(r.name), r.expected) << std::string(r.name.begin(), r.name.end());
}

// A container scrolled down by 100 pixels.
class ScrolledPanel : public Probe {
public:
    using Probe::Probe;
    int OnMousePointChange(CPoint& pt) override {
        pt.y += 100;
        return 1;
    }
};

TEST_F(ControlTest, ScrollBarChildrenGetUnscrolledPointsOthersScrolledOnes) {
    auto* panel = static_cast<ScrolledPanel*>(
        pm().AddControl(std::make_unique<ScrolledPanel>(&host, 50, CRect{0, 0, 200, 150}, &host.log)));
    panel->Add<Probe>(1u, CRect{180, 0, 200, 150}, &host.log); // vertical scroll bar
    panel->Add<Probe>(7u, CRect{0, 100, 100, 150}, &host.log); // content, in scrolled coordinates
    headless->Click(hwnd, 10, 20);
    headless->Click(hwnd, 190, 20);
    Settle();
    EXPECT_EQ(Only(host.log, {"down"}), (Log{"#7 down 10,120", "#1 down 190,20"}));
}

TEST_F(ControlTest, DoubleClickIsASecondPressUnlessTheControlWantsDoubleClicks) {
    struct Row {
        int dblClk;
        Log expected;
    } rows[] = {
        {0, {"#1 down 20,20", "#1 up 20,20", "#1 down 20,20", "#1 up 20,20"}},
        {1, {"#1 down 20,20", "#1 up 20,20", "#1 dblclk 20,20", "#1 up 20,20"}},
    };
    Probe* p = host.AddProbe(1, {0, 0, 50, 50});
    for (const Row& r : rows) {
        host.log.clear();
        p->SetDblClk(r.dblClk);
        headless->DoubleClick(hwnd, 20, 20);
        Settle();
        EXPECT_EQ(Only(host.log, {"down", "up", "dblclk"}), r.expected) << "double-click flag " << r.dblClk;
    }
}

TEST_F(ControlTest, RightClickWheelHoverAndLeave) {
    host.AddProbe(1, {0, 0, 100, 100});
    headless->Click(hwnd, 10, 10, /*right=*/true);
    headless->Wheel(hwnd, 20, 20, -2);
    headless->Wheel(hwnd, 20, 20, 1);
    headless->MouseLeave(hwnd);
    Settle();
    EXPECT_EQ(Only(host.log, {"rdown", "rup", "wheel"}),
              (Log{"#1 rdown 10,10", "#1 rup 10,10", "#1 wheel-down 20,20", "#1 wheel-down 20,20", "#1 wheel-up 20,20"}));
    EXPECT_EQ(host.log.back(), "#1 move -1,-1"); // leaving the window un-hovers it
    EXPECT_EQ(pm().GetHoverControl(), nullptr);
}

TEST_F(ControlTest, PressedControlKeepsTheGestureUntilRelease) {
    host.AddProbe(1, {0, 0, 50, 50});
    host.AddProbe(2, {100, 0, 150, 50});
    headless->MouseDown(hwnd, 10, 10);
    Settle();
    host.log.clear();
    headless->MouseMove(hwnd, 120, 10);
    headless->MouseUp(hwnd, 120, 10);
    Settle();
    EXPECT_EQ(Only(host.log, {"#1", "#2"}), (Log{"#1 up 120,10"}));
    EXPECT_EQ(pm().GetHoverControl(), nullptr);
}

TEST_F(ControlTest, NotificationsReachTheHostWithTheSendersIdThroughContainers) {
    Probe* container = host.AddProbe(40, {0, 0, 200, 150});
    container->Add<Probe>(41u, CRect{10, 10, 60, 60}, &host.log)->notifyClick = true;
    headless->Click(hwnd, 20, 20);
    Settle();
    EXPECT_EQ(host.notes, (std::vector<HostDialog::Note>{{41, NOTIFY_CLICK, 0, 0}}));
}

TEST_F(ControlTest, ControlRemovedWhileHoveredAndHandlingItsOwnClickIsSafe) {
    Probe* p = host.AddProbe(3, {0, 0, 50, 50});
    p->notifyClick = true;
    p->SetTooltip(u"tip");
    host.onNote = [&](const HostDialog::Note& n) { pm().RemoveControl(host.GetControl(n.id)); };
    headless->MouseMove(hwnd, 10, 10);
    headless->Click(hwnd, 10, 10);
    headless->MouseMove(hwnd, 12, 12);
    headless->Click(hwnd, 12, 12);
    headless->MouseLeave(hwnd);
    Settle();
    EXPECT_EQ(host.GetControl(3), nullptr);
    EXPECT_EQ(pm().GetHoverControl(), nullptr);
    EXPECT_EQ(pm().GetTooltipCtrlID(), 0);
    EXPECT_EQ(host.notes.size(), 1u);
}

TEST_F(ControlTest, ControlTimersRunStopAndRestartUnderTheirOldId) {
    Probe* p = host.AddProbe(1, {0, 0, 10, 10});
    Probe* q = host.AddProbe(2, {0, 0, 10, 10});
    ASSERT_EQ(pm().SetTimer(p, 7, 10), 1);
    EXPECT_EQ(pm().SetTimer(p, 7, 10), 0) << "already running";
    ASSERT_TRUE(PumpUntil([&] { return p->timerTicks >= 3; }));
    const unsigned id = pm().GetTimerSystemId(p, 7);
    pm().KillTimer(p, 7);
    Settle();
    const int ticks = p->timerTicks;
    Settle();
    EXPECT_EQ(p->timerTicks, ticks) << "stopped";
    EXPECT_EQ(pm().SetTimer(p, 7, 10), 1);
    EXPECT_EQ(pm().GetTimerSystemId(p, 7), id);
    ASSERT_EQ(pm().SetTimer(q, 7, 10), 1);
    const unsigned other = pm().GetTimerSystemId(q, 7);
    EXPECT_NE(other, id);
    for (unsigned reserved : {0u, 66u, 88u, 99u}) EXPECT_NE(other, reserved);
    ASSERT_TRUE(PumpUntil([&] { return p->timerTicks > ticks; }));
}

TEST_F(ControlTest, TimerOfARemovedControlDoesNothing) {
    Probe* p = host.AddProbe(1, {0, 0, 10, 10});
    ASSERT_EQ(pm().SetTimer(p, 1, 5), 1);
    pm().AddMTimer(p);
    p->SetRunTimer(1);
    host.SetMTimer(5);
    ASSERT_TRUE(PumpUntil([&] { return p->timerTicks >= 2; }));
    pm().RemoveControl(p);
    const int ticksBefore = pm().TickCount();
    ASSERT_TRUE(PumpUntil([&] { return pm().TickCount() >= ticksBefore + 3; })); // ticks go on, nobody is called
    EXPECT_EQ(pm().GetTimerSystemId(p, 1), 0u);
}

TEST_F(ControlTest, AnimationTickReachesOnlyVisibleControlsWithVisibleParents) {
    Probe* shown = host.AddProbe(1, {0, 0, 10, 10});
    Probe* hidden = host.AddProbe(2, {0, 0, 10, 10}, 0);
    Probe* parent = host.AddProbe(3, {0, 0, 10, 10});
    Probe* child = parent->Add<Probe>(4u, CRect{0, 0, 5, 5}, &host.log);
    Probe* idle = host.AddProbe(5, {0, 0, 10, 10}); // registered, but not running
    parent->SetVisible(0);
    for (Probe* p : {shown, hidden, child, idle}) pm().AddMTimer(p);
    for (Probe* p : {shown, hidden, child}) p->SetRunTimer(1);
    host.SetMTimer(10);
    ASSERT_TRUE(PumpUntil([&] { return shown->timerTicks >= 5; }));
    EXPECT_EQ(hidden->timerTicks, 0);
    EXPECT_EQ(child->timerTicks, 0);
    EXPECT_EQ(idle->timerTicks, 0);
    host.KillMTimer();
    Settle();
    const int ticks = shown->timerTicks;
    Settle();
    EXPECT_EQ(shown->timerTicks, ticks);
}

TEST_F(ControlTest, TooltipFollowsTheHoveredControl) {
    Probe* p = host.AddProbe(8, {0, 0, 50, 50});
    p->SetTooltip(u"Brightness");
    headless->MouseMove(hwnd, 10, 10);
    Settle();
    ASSERT_NE(pm().GetToolTipWnd(), nullptr);
    EXPECT_TRUE(pm().GetToolTipWnd()->IsActive());
    EXPECT_EQ(pm().GetToolTipWnd()->GetText(), u"Brightness");
    EXPECT_EQ(pm().GetTooltipCtrlID(), 8);
    headless->MouseLeave(hwnd);
    Settle();
    EXPECT_FALSE(pm().GetToolTipWnd()->IsActive());
    EXPECT_EQ(pm().GetTooltipCtrlID(), 0);
}

TEST_F(ControlTest, PressOnTheBackgroundDragsTheWindowOnlyWhenEnabled) {
    for (int enabled : {1, 0}) {
        host.EnableWndDrag(enabled);
        const CRect before = host.GetWindowRect();
        headless->MouseDown(hwnd, 5, 5);
        headless->MouseMove(hwnd, 25, 15);
        headless->MouseUp(hwnd, 25, 15);
        Settle();
        const CRect expected = enabled ? before.Offset(20, 10) : before;
        EXPECT_EQ(host.GetWindowRect(), expected) << "dragging " << enabled;
    }
}

TEST_F(ControlTest, KeysCarryTheModifierValue) {
    host.AddProbe(1, {0, 0, 50, 50});
    headless->MouseMove(hwnd, 10, 10);
    headless->KeyDown(hwnd, 'A');
    headless->KeyDown(hwnd, VK_SHIFT);
    headless->KeyDown(hwnd, 'B');
    headless->KeyDown(hwnd, VK_CONTROL);
    headless->KeyDown(hwnd, 'C');
    Settle();
    EXPECT_EQ(Only(host.log, {"key 65", "key 66", "key 67"}),
              (Log{"#1 key 65 mod 0", "#1 key 66 mod 16", "#1 key 67 mod 17"}));
}

TEST_F(ControlTest, InvalidationFromOtherThreadsIsMergedIntoFewPaints) {
    Probe* p = host.AddProbe(1, {10, 10, 60, 60});
    p->SetRunTimer(1);
    pm().AddMTimer(p);
    host.SetMTimer(2); // ticks arrive while the other threads invalidate
    Settle();
    const int before = pm().PaintCount();
    std::atomic<int> running{2};
    auto invalidate = [&] {
        for (int i = 0; i < 20000; ++i) {
            p->UpdateControl(i % 2, 0);
            pm().InvalidateRect({0, 0, 5, 5});
        }
        --running;
    };
    std::thread a(invalidate), b(invalidate);
    PumpUntil([&] { return running == 0; }, 30000);
    a.join();
    b.join();
    Settle();
    const int paints = pm().PaintCount() - before;
    EXPECT_GT(paints, 0);
    EXPECT_LT(paints, 4000) << "80,000 invalidations merge into paints at most every 15 ms";
    EXPECT_EQ(Screen(30, 30), p->colour);
    EXPECT_GT(p->timerTicks, 0);
    host.KillMTimer();
}

TEST_F(ControlTest, DraggedControlDropsOnTheControlUnderThePointer) {
    Probe* source = host.AddProbe(1, {0, 0, 50, 50});
    host.AddProbe(2, {100, 0, 150, 50});
    source->SetDragDrop(1);
    headless->MouseMove(hwnd, 10, 10);
    headless->MouseDown(hwnd, 10, 10);
    headless->MouseMove(hwnd, 11, 11); // a small step starts the drag
    headless->MouseMove(hwnd, 120, 20);
    headless->MouseUp(hwnd, 120, 20);
    Settle();
    EXPECT_EQ(Only(host.log, {"down", "up"}), (Log{"#1 down 10,10", "#2 up 120,20"}));
    EXPECT_EQ(host.GetWindowRect().TopLeft(), (CPoint{100, 100})) << "a drag never moves the window";
}

TEST_F(PeltaTest, ZeroSizeWindowPaintsNothingAndSurvives) {
    HostDialog empty;
    const HWND hwnd = empty.Create(0, u"", 0, 0, CRect{});
    ASSERT_NE(hwnd, 0u);
    empty.ShowWindow(SW_SHOW);
    empty.AddProbe(1, {0, 0, 10, 10});
    headless->Click(hwnd, 1, 1);
    Settle();
    EXPECT_EQ(empty.GetPaintManager().PaintCount(), 0);
    empty.MoveWindow(0, 0, 20, 20); // growing later paints normally
    Settle();
    EXPECT_GT(empty.GetPaintManager().PaintCount(), 0);
    empty.DestroyWindow();
}

TEST(LayoutTest, PositionItemToValue) {
    struct Row {
        FS_POSITION_ITEM item;
        int a, b, expected;
    } rows[] = {
        {{0, 0, 10}, 100, 200, 110}, {{0, 1, 10}, 100, 200, 190}, {{1, 0, 5}, 100, 200, 155},
        {{1, 1, 5}, 100, 200, 145},  {{2, 0, 25}, 100, 200, 125}, {{2, 0, 150}, 100, 200, 200}, // capped at b
        {{3, 0, 5}, 100, 200, 0},                                                                 // unknown kind
    };
    for (const Row& r : rows) EXPECT_EQ(MControl::PositionItem2Value(r.item, r.a, r.b), r.expected) << r.item.kind;
}

TEST(FactoryTest, ClassNamesAndArguments) {
    std::vector<std::string> log;
    struct Row {
        std::u16string name;
        ControlFactory::Site site;
        bool made;
    } rows[] = {
        {u"", ControlFactory::Dialog, false},          {u"NoSuchControl", ControlFactory::Dialog, false},
        {u"menuitem", ControlFactory::Dialog, false},   {u"MenuItem", ControlFactory::Dialog, true},
        {u"MenuItem", ControlFactory::Panel, true},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ControlFactory::Create(r.name, r.site, nullptr, 1, {}, u"t", 1, 1) != nullptr, r.made)
            << std::string(r.name.begin(), r.name.end());

    auto hidden = ControlFactory::Create(u"MenuItem", ControlFactory::Dialog, nullptr, 9, {1, 2, 3, 4}, u"Open", 0, 0);
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(hidden->IsVisible(), 0);
    EXPECT_EQ(hidden->IsEnabled(), 1) << "MenuItem gets 1 for enabled whatever p2 says";
    EXPECT_EQ(hidden->GetRect(), (CRect{1, 2, 3, 4}));
    EXPECT_EQ(static_cast<MenuItem*>(hidden.get())->GetTitle(), u"Open");
    EXPECT_FALSE(ControlFactory::Register(u"NotInTheTable", nullptr));
}

TEST_F(ControlTest, FactoryRejectsKindsWithoutAList) {
    EXPECT_EQ(pm().CreateControl(2, &host, u"MenuItem", 1, {}, u"", 1, 1), nullptr);
    EXPECT_NE(host.CreateArea(u"MenuItem", 1, {}, u"", 1, 1), nullptr);
    EXPECT_EQ(pm().GetAreas().size(), 1u);
}

} // namespace
} // namespace Pelta::testing
