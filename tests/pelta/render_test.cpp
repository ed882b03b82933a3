// What Pelta paints, compared with reference pictures.
#include "pelta/core/menu.h"
#include "tests/pelta/golden.h"
#include "tests/pelta/pelta_fixture.h"

namespace Pelta::testing {
namespace {

// 30 x 30 with 10-pixel borders: each of the nine pieces has its own colour.
SurfacePtr NinePieces() {
    SurfacePtr s = CreateArgbSurface(30, 30);
    ContextPtr cr(cairo_create(s.get()));
    const ARGB colours[3][3] = {{0xFFFF0000, 0xFF00FF00, 0xFF0000FF},
                                {0xFFFFFF00, 0x80404040, 0xFF00FFFF},
                                {0xFFFF00FF, 0xFF808080, 0xFFFFFFFF}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) MRender::DrawColor(cr.get(), CRect::FromSize(c * 10, r * 10, 10, 10), colours[r][c]);
    return s;
}

TEST(RenderTest, NineGridKeepsCornersAndStretchesEdges) {
    SurfacePtr source = NinePieces();
    SurfacePtr target = CreateArgbSurface(100, 60);
    ContextPtr cr(cairo_create(target.get()));
    MRender::DrawImageFrame(cr.get(), source.get(), {0, 0, 100, 60}, 0, 0, 30, 30, 10);
    EXPECT_EQ(PixelAt(target.get(), 9, 9), 0xFFFF0000u);  // corner, unscaled
    EXPECT_EQ(PixelAt(target.get(), 90, 50), 0xFFFFFFFFu); // opposite corner
    EXPECT_EQ(PixelAt(target.get(), 50, 5), 0xFF00FF00u);  // top edge stretched
    EXPECT_TRUE(MatchesGolden(target.get(), "nine_grid"));

    // Borders wider than the target are cut down rather than overlapping.
    SurfacePtr small = CreateArgbSurface(12, 12);
    ContextPtr sc(cairo_create(small.get()));
    MRender::DrawImageFrame(sc.get(), source.get(), {0, 0, 12, 12}, 0, 0, 30, 30, 10);
    EXPECT_EQ(PixelAt(small.get(), 0, 0), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(small.get(), 11, 11), 0xFFFFFFFFu);
}

TEST(RenderTest, PrimitivesDrawTheirShapes) {
    SurfacePtr target = CreateArgbSurface(120, 80);
    ContextPtr cr(cairo_create(target.get()));
    MRender::DrawColor(cr.get(), {0, 0, 120, 80}, 0xFF202020);
    MRender::DrawColor(cr.get(), {0, 0, 120, 80}, 0x00FFFFFF); // alpha 0: nothing
    MRender::DrawRoundRectange(cr.get(), 10, 10, 100, 30, 4, 0xFFFFFFFF, 2, true, 0xFF285055);
    MRender::DrawGradient(cr.get(), {10, 50, 110, 70}, 0x0000FF, 0xFF0000, false);
    EXPECT_EQ(PixelAt(target.get(), 5, 5), 0xFF202020u);
    EXPECT_EQ(PixelAt(target.get(), 60, 25), 0xFF285055u);
    EXPECT_TRUE(MatchesGolden(target.get(), "primitives", 2, 0));
}

TEST(RenderTest, TransitionsFadeRowByRow) {
    SurfacePtr white = CreateArgbSurface(10, 11);
    ContextPtr w(cairo_create(white.get()));
    MRender::DrawColor(w.get(), {0, 0, 10, 11}, 0xFFFFFFFF);
    SurfacePtr target = CreateArgbSurface(10, 11);
    ContextPtr cr(cairo_create(target.get()));
    EXPECT_EQ(MRender::DrawVerticalTransition(cr.get(), white.get(), {0, 0, 10, 11}, {0, 0, 10, 11}, 0, 100), 0);
    EXPECT_EQ(PixelAt(target.get(), 5, 0) >> 24, 255u);
    EXPECT_NEAR(static_cast<int>(PixelAt(target.get(), 5, 5) >> 24), 127, 1);
    EXPECT_EQ(PixelAt(target.get(), 5, 10) >> 24, 0u);
}

class WindowPaintTest : public PeltaTest {};

TEST_F(WindowPaintTest, DialogFrameWithStripsAndProgress) {
    WriteStrip("state.png", 20, 20, {0xFFC03030, 0xFF30C030, 0xFF3030C0, 0xFF808080});
    HostDialog dialog;
    const HWND hwnd = dialog.Open(CRect::FromSize(0, 0, 160, 100));
    struct StripProbe : Probe {
        using Probe::Probe;
        int frame = 0;
        void DrawControl(cairo_t* cr, CRect) override { DrawFrameGrid(cr, frame, rect_, 4); }
    };
    auto* a = static_cast<StripProbe*>(dialog.GetPaintManager().AddControl(
        std::make_unique<StripProbe>(&dialog, 1, CRect{10, 10, 70, 40}, &dialog.log)));
    auto* b = static_cast<StripProbe*>(dialog.GetPaintManager().AddControl(
        std::make_unique<StripProbe>(&dialog, 2, CRect{80, 10, 150, 40}, &dialog.log)));
    ASSERT_EQ(a->SetImage(u"state.png", 4), 1);
    ASSERT_EQ(b->SetImage(u"state.png", 4), 1);
    b->frame = 2;
    dialog.GetPaintManager().SetProgress(40, u"", CRect{10, 50, 150, 90}); // no text: a box and a bar
    dialog.GetPaintManager().SetProgress(42, u"x", CRect{10, 50, 150, 90});
    ASSERT_TRUE(PumpUntil([&] { return dialog.GetPaintManager().GetShownProgress() == 42; }));
    Settle();
    cairo_surface_t* screen = static_cast<HeadlessWindow*>(dialog.Native())->Screen();
    EXPECT_EQ(PixelAt(screen, 40, 25), 0xFFC03030u);
    EXPECT_EQ(PixelAt(screen, 115, 25), 0xFF3030C0u);
    EXPECT_EQ(PixelAt(screen, 0, 0), 0xFE284F54u) << "border colour 0x555028 at alpha 254, premultiplied";
    EXPECT_TRUE(MatchesGolden(screen, "dialog", 48, 60)); // the one-letter text may shift by a pixel
    EXPECT_NE(hwnd, 0u);
    dialog.DestroyWindow();
}

TEST_F(WindowPaintTest, MenuWithHoveredItem) {
    HostDialog owner;
    owner.Open();
    auto* menu = new MenuWnd(&owner);
    const HWND menuWnd = menu->Create(owner.GetSafeHwnd(), {0, 0}, 1825, 160);
    menu->AddMenu(u"Copy", 11);
    menu->AddSeparator(12);
    menu->AddMenu(u"粘贴", 13);
    menu->ShowWindow(SW_SHOW);
    headless->MouseMove(menuWnd, 40, 20);
    Settle();
    cairo_surface_t* screen = static_cast<HeadlessWindow*>(menu->Native())->Screen();
    EXPECT_EQ(PixelAt(screen, 150, 20), 0xFF285055u) << "hovered item in the hover colour";
    EXPECT_NE(PixelAt(screen, 150, 60), 0xFF285055u);
    EXPECT_TRUE(MatchesGolden(screen, "menu", 64, 40));
    menu->DestroyWindow();
    owner.DestroyWindow();
}

} // namespace
} // namespace Pelta::testing
