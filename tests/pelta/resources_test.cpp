// Pictures and fonts: the image cache, decoding, icon lists, colour helpers and text.
#include <fstream>

#include "pelta/core/image_list.h"
#include "pelta/core/text.h"
#include "tests/pelta/pelta_fixture.h"

namespace Pelta::testing {
namespace {

class ResourcesTest : public PeltaTest {
protected:
    void SetUp() override {
        PeltaTest::SetUp();
        hwnd = host.Open();
    }
    void TearDown() override {
        host.DestroyWindow();
        PeltaTest::TearDown();
    }
    void Truncate(const std::string& name, size_t keep) {
        std::ifstream in(Skin(name), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::ofstream(Skin(name), std::ios::binary | std::ios::trunc) << bytes.substr(0, keep);
    }
    HostDialog host;
    HWND hwnd = 0;
};

TEST_F(ResourcesTest, ControlsShareOneStripAndTheFirstFrameCountWins) {
    WriteStrip("button.png", 10, 8, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808080});
    Probe* a = host.AddProbe(1, {0, 0, 10, 10});
    Probe* b = host.AddProbe(2, {0, 0, 10, 10});
    ASSERT_EQ(a->SetImage(u"button.png", 4), 1);
    ASSERT_EQ(b->SetImage(u"button.png", 2), 1);
    EXPECT_EQ(a->GetImageInfo(), b->GetImageInfo());
    EXPECT_EQ(b->GetImageCount(), 4);
    EXPECT_EQ(b->GetImageSize(), (CSize{10, 8}));
    EXPECT_EQ(host.GetPaintManager().Images().Size(), 1u);
}

TEST_F(ResourcesTest, FailedLoadsCacheNothingAndAreRetried) {
    Probe* p = host.AddProbe(1, {0, 0, 10, 10});
    EXPECT_EQ(p->SetImage(u"later.png", 4), 0);
    EXPECT_EQ(host.GetPaintManager().Images().Size(), 0u);
    WriteStrip("later.png", 5, 5, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF808080});
    EXPECT_EQ(p->SetImage(u"later.png", 4), 1);

    Probe detached(nullptr, 9, {}, &host.log);
    EXPECT_EQ(detached.SetImage(u"later.png", 4), 0) << "no window yet";
}

TEST_F(ResourcesTest, BadPicturesAreRefused) {
    WriteStrip("whole.png", 7, 7, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF});
    std::filesystem::copy_file(Skin("whole.png"), Skin("cut.png"));
    Truncate("cut.png", 60);
    WriteGif("anim.gif", 6, 4, 3);
    std::filesystem::copy_file(Skin("anim.gif"), Skin("cut.gif"));
    Truncate("cut.gif", static_cast<size_t>(std::filesystem::file_size(Skin("anim.gif")) - 12));
    std::ofstream(Skin("text.png")) << "not a picture";
    struct Row {
        std::u16string file;
        int count;
        bool loads;
        int frameWidth;
    } rows[] = {
        {u"whole.png", 3, true, 7},  {u"whole.png", 3, true, 7}, // cached
        {u"cut.png", 1, false, 0},   {u"cut.gif", 1, false, 0},  {u"text.png", 1, false, 0},
        {u"anim.gif", 1, true, 6},   {u"nowhere.png", 1, false, 0},
    };
    Probe* p = host.AddProbe(1, {0, 0, 10, 10});
    for (const Row& r : rows) {
        EXPECT_EQ(p->SetImage(r.file.c_str(), r.count) == 1, r.loads) << std::string(r.file.begin(), r.file.end());
        if (r.loads) {
            EXPECT_EQ(p->GetImageSize().cx, r.frameWidth);
        }
    }
    // A strip whose width is not a multiple of the count: integer division; more frames than pixels: refused.
    ImageCache cache;
    WriteStrip("odd.png", 10, 2, {0xFFFF0000}); // 10 pixels wide
    ASSERT_NE(cache.AddImgResInfo(u"odd.png", 3), nullptr);
    EXPECT_EQ(cache.AddImgResInfo(u"odd.png", 3)->frameWidth, 3);
    EXPECT_EQ(cache.AddImgResInfo(u"narrow.png", 0), nullptr);
    WriteStrip("narrow.png", 2, 2, {0xFFFF0000});
    EXPECT_EQ(cache.AddImgResInfo(u"narrow.png", 5), nullptr);
    EXPECT_EQ(cache.Size(), 1u);
}

TEST_F(ResourcesTest, GifFramesKeepTheirColoursAndDelays) {
    WriteGif("spin.gif", 6, 4, 3);
    std::unique_ptr<Image> gif = Image::LoadFromFile(Skin("spin.gif"));
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(gif->FrameCount(), 3);
    EXPECT_EQ(PixelAt(gif->Frame(0), 2, 2), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(gif->Frame(1), 2, 2), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(gif->Frame(2), 2, 2), 0xFF0000FFu);
    EXPECT_EQ(gif->Frame(9), gif->Frame(2)) << "clamped to the last frame";
    EXPECT_EQ(gif->FrameDelay(0), 50);
}

TEST_F(ResourcesTest, IconListIndexesAndFrames) {
    WriteStrip("icons.png", 4, 4, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF});
    const std::u16string path = FromUtf8(Skin("icons.png").string());
    MImageList list;
    struct Row {
        int index;
        const char16_t* path;
        int result;
    } rows[] = {{-1, path.c_str(), 0}, {-1, path.c_str(), 1}, {0, path.c_str(), -1}, // insert before 0
                {-2, path.c_str(), -1}, {3, path.c_str(), -1},                         // out of range
                {-1, nullptr, -1},      {-1, u"/nonexistent.png", -1}};
    int id = 1;
    for (const Row& r : rows) EXPECT_EQ(list.InsertImage(r.index, r.path, id++, 3), r.result) << r.index;
    EXPECT_EQ(list.GetImageCount(), 3);
    EXPECT_EQ(list.GetImageDataByID(3), list.GetItemImageData(0));
    EXPECT_EQ(list.GetImagePathByID(2), path);

    SurfacePtr target = CreateArgbSurface(8, 8);
    ContextPtr cr(cairo_create(target.get()));
    list.DrawItemIcon(cr.get(), {0, 0, 8, 8}, 0, 7); // past the last frame: the last one
    EXPECT_EQ(PixelAt(target.get(), 4, 4), 0xFF0000FFu);
    list.DrawItemIcon(cr.get(), {0, 0, 8, 8}, 0);
    EXPECT_EQ(PixelAt(target.get(), 4, 4), 0xFFFF0000u);
}

TEST(ColourTest, CheckAlphaColorOnlyMovesPureBlack) {
    struct Row {
        uint32_t in, out;
    } rows[] = {{0x00000000, 0x00000001}, {0xFF000000, 0xFF000001}, {0x00000001, 0x00000001},
                {0x80FFFFFF, 0x80FFFFFF}, {0xFF010000, 0xFF010000}};
    for (Row r : rows) {
        uint32_t c = r.in;
        MRender::CheckAlphaColor(c);
        EXPECT_EQ(c, r.out) << std::hex << r.in;
    }
    EXPECT_EQ(ArgbFromColorref(0x00332211), 0xFF112233u);
    EXPECT_EQ(ArgbFromColorref(0x00332211, 254), 0xFE112233u);
}

TEST(OriginTest, AlignmentPlacesTheItem) {
    struct Row {
        unsigned h, v;
        CPoint expected;
    } rows[] = {{0, 0, {10, 20}}, {1, 4, {30, 40}}, {2, 8, {50, 60}}, {7, 7, {10, 20}}};
    for (const Row& r : rows) EXPECT_EQ(MRender::GetOriginPoint(10, 20, 60, 60, r.h, r.v, 20, 20), r.expected);
    EXPECT_EQ(MRender::GetOriginPoint(CRect{10, 20, 70, 80}, 20, 20, 1, 4), (CPoint{30, 42}));
}

TEST_F(ResourcesTest, ShippedFontsShowChineseSpanishAndEnglish) {
    PaintManager& pm = host.GetPaintManager();
    const std::string cjk = pm.DefaultFamily();
    ASSERT_FALSE(cjk.empty()) << "the private font is registered under the program's font name";
    const std::optional<std::string> latin = pm.Fonts().Resolve("Arial");
    ASSERT_TRUE(latin);
    EXPECT_EQ(*latin, "Liberation Sans");
    for (const std::u16string text : {u"灯光效果 宏设置 恢复出厂", u"Configuración del teclado: ¡Perfil añadido!",
                                      u"Keyboard lighting and macros"}) {
        EXPECT_EQ(MRender::CountMissingGlyphs({cjk, 14, 0}, text), 0);
        EXPECT_GT(MRender::GetTextBounds({cjk, 14, 0}, text).cx, 0);
    }
    EXPECT_EQ(MRender::CountMissingGlyphs({*latin, 14, 0}, u"¡Añadir!"), 0);
    const std::u16string long_text(100000, u'W');
    EXPECT_GT(MRender::GetTextBounds({*latin, 14, 0}, long_text).cx, 100000);
    EXPECT_FALSE(pm.Fonts().AddTempFont("Broken", dir / "skins" / "theme1" / "missing.ttf"));
}

} // namespace
} // namespace Pelta::testing
