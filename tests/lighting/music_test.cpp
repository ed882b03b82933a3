#include "app/lighting/colour_patterns.h"
#include "app/lighting/level_capture.h"
#include "app/lighting/live_colours.h"
#include "app/lighting/music_settings.h"
#include "app/lighting/screen_light.h"
#include "app/lighting/visualizer.h"
#include "tests/support/key_bench.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vantrel {
namespace {

using namespace vantrel::testing;

TEST(ColourPatterns, HsvAndPatterns) {
    struct Hsv {
        int h, s, v;
        uint32_t colour;
    } hsv[] = {{0, 255, 255, 0x0000FF}, {120, 255, 255, 0x00FF00}, {240, 255, 255, 0xFF0000},
               {60, 255, 255, 0x00FFFF}, {0, 0, 77, 0x4D4D4D},     {360, 255, 255, 0x0000FF}};
    for (const Hsv& c : hsv) EXPECT_EQ(HsvToColour(c.h, c.s, c.v), c.colour) << c.h;

    ColourImage image;
    struct Cell {
        int type, brightness, row, column;
        uint32_t colour;
    } cells[] = {
        // Brightness 100 is v = int(100 × 2.55) = 254 in floating point, so full bytes scale to 0xFD.
        {0, 100, 5, 5, 0x000000},   {2, 100, 30, 200, 0x0000FD}, {5, 50, 10, 10, 0x007E00},
        {9, 100, 7, 0, 0x0000FD},   {9, 100, 17, 0, 0x0000FD},   {9, 100, 27, 0, 0x00FDFD},
        {9, 100, 37, 0, 0x00FDFD},  {9, 100, 47, 0, 0x00FD00},   {9, 100, 57, 0, 0x00FD00},
        {14, 100, 63, 9, 0xFD00FD}, {19, 100, 0, 0, 0x0000FE},
    };
    for (const Cell& c : cells) {
        PaintPattern(c.type, c.brightness, 0, image);
        EXPECT_EQ(image[static_cast<size_t>(c.row)][static_cast<size_t>(c.column)] & 0xFFFFFF, c.colour & 0xFFFFFF)
            << "type " << c.type << " row " << c.row;
    }
    for (int hue = 0; hue < 360; hue += 7) { // every sector stays within a byte per channel
        const uint32_t c = HsvToColour(hue, 255, 255);
        EXPECT_EQ(std::max({c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF}), 255u) << hue;
    }
}

// A tone fed straight into the sample window.
void FeedTone(Visualizer& v, double cyclesPerSample, float amplitude) {
    for (int i = 0; i < Visualizer::kWindow / 2; ++i)
        v.PushSample(amplitude * static_cast<float>(std::sin(2 * M_PI * cyclesPerSample * i)));
}

TEST(Visualizer, ToneRaisesItsBandsAndSilenceDecays) {
    Visualizer v(nullptr);
    FeedTone(v, 40.0 / 512, 1.0f); // each sample fills two values: bin 20, bands 80 to 83
    v.Frame();
    float peak = 0;
    int where = 0;
    for (int k = 0; k < Visualizer::kBands; ++k)
        if (v.Band(k) > peak) peak = v.Band(k), where = k;
    EXPECT_GT(peak, 0.3f);
    EXPECT_NEAR(where, 82, 8);
    EXPECT_LT(v.Band(200), 0.1f * peak);

    // Silence: every band at most 0.8^n of the loudest after n frames.
    FeedTone(v, 0, 0);
    float previous = peak;
    for (int n = 1; n <= 10; ++n) {
        v.Frame();
        float loudest = 0;
        for (int k = 0; k < Visualizer::kBands; ++k) loudest = std::max(loudest, v.Band(k));
        EXPECT_LE(loudest, previous * 0.8f + 1e-6f) << n;
        previous = loudest;
    }
    EXPECT_LT(previous, 7.0f / 64); // below the lowest row a 6-row grid samples
}

TEST(Visualizer, ImageShowsForegroundWhereTheSpectrumReaches) {
    Visualizer v(nullptr);
    v.SetForeground(5);        // green
    v.SetBackground(2, 100);   // red
    FeedTone(v, 40.0 / 512, 1.0f);
    v.Step();
    const GridSampling s = ComputeGridSampling(6, 21);
    EXPECT_EQ(s.rows, (std::vector<int>{7, 17, 27, 37, 47, 57}));
    EXPECT_EQ(s.columns[1], 12);
    EXPECT_EQ(v.FrontCell(57, 82) & 0xFFFFFF, 0x00FD00u); // the tone's column is lit at the bottom
    EXPECT_EQ(v.FrontCell(57, 250) & 0xFFFFFF, 0x0000FDu); // quiet columns show the background
}

// A screen of known colour blocks.
class BlockScreen : public ScreenSource {
public:
    bool Capture(int* width, int* height, std::vector<uint32_t>* pixels) override {
        *width = 1920;
        *height = 1080;
        pixels->resize(1920 * 1080);
        for (int y = 0; y < 1080; ++y)
            for (int x = 0; x < 1920; ++x) (*pixels)[static_cast<size_t>(y * 1920 + x)] = x < 960 ? 0xFF0000 : 0x0000FF;
        return true;
    }
};

TEST(ScreenLight, GridFollowsTheScreen) {
    BlockScreen screen;
    ScreenLight light(&screen);
    light.Start(21, 6);
    ASSERT_TRUE(light.SampleScreen());
    EXPECT_EQ(light.Cell(0, 0), 0x0000FFu);  // red, stored 0x00BBGGRR
    EXPECT_EQ(light.Cell(17, 5), 0xFF0000u); // blue
    EXPECT_EQ(light.Cell(20, 3), light.Cell(17, 5)); // beyond column 17: the last read colour
    ScreenLight none(nullptr);
    EXPECT_FALSE(none.SampleScreen());
}

TEST(LiveColours, FramesOnCableOnlyAndNeverAllBlack) {
    KeyRig rig(KeyboardFamily::kA);
    KeyLayout layout;
    layout.rowCount = 1;
    layout.colCount = 3;
    layout.grid[0][0] = 0x04;
    layout.grid[0][2] = 0x05;
    layout.lightPosition = {{0x04, 0}, {0x05, 109}};
    const GridSampling sampling = ComputeGridSampling(1, 3);
    BlockScreen screen;
    ScreenLight light(&screen);
    light.Start(3, 1);
    ASSERT_TRUE(light.SampleScreen());
    LiveColours live(rig.link_);
    std::map<int, uint32_t> shown;
    auto keys = live.Stream(layout, sampling, true, nullptr, &light, 0, [&](int c, uint32_t col) { shown[c] = col; });
    EXPECT_EQ(keys.size(), 2u);
    EXPECT_EQ(shown.at(0x04), 0x0000FFu);
    rig.Keyboard([](SimKeyboard& k) {
        EXPECT_TRUE(k.A().streaming);
        EXPECT_EQ(k.A().liveFrames, 1);
        EXPECT_EQ(k.A().liveColours[0], 0xFF); // red first
        EXPECT_EQ(k.A().liveColours[3 * 109], 0xFF); // the second key, also on the red half, at position 109
        ASSERT_EQ(k.Reports().size(), 7u); // the stream start, then six chunks in order
        for (size_t i = 1; i < 7; ++i) EXPECT_EQ(k.Reports()[i].bytes[3], static_cast<uint8_t>(60 * (i - 1)));
        EXPECT_EQ(k.Reports()[6].bytes[2], 30);
        k.ClearReports();
    });
    live.Stream(layout, sampling, true, nullptr, &light, 1, {}); // wireless: nothing sent
    Visualizer dark(nullptr);
    dark.SetForeground(0);
    dark.SetBackground(0, 100);
    dark.Step();
    live.Stream(layout, sampling, false, &dark, nullptr, 0, {}); // all black: nothing sent
    EXPECT_TRUE(rig.Keyboard([](SimKeyboard& k) { return k.Reports().empty(); }));
}

TEST(LevelCapture, LevelsAndReports) {
    struct Case {
        int sample;
        int gainSlider;
        uint8_t value;
    } cases[] = {{32767, 100, 254}, {32767, 200, 255}, {-32768, 50, 128}, {255, 50, 0}};
    for (const Case& c : cases) {
        std::vector<int16_t> samples(20, 0);
        samples[10] = static_cast<int16_t>(c.sample);
        EXPECT_EQ(LevelValue(PacketLevel(samples), c.gainSlider / 50.0), c.value) << c.sample;
    }
    EXPECT_EQ(PacketLevel({1, 2, 3}), 0);

    KeyRig rig(KeyboardFamily::kB);
    MusicLevelSettings settings;
    settings.effect = 2;
    settings.colour = 4;
    bool enabled = false;
    LevelCapture capture(nullptr, settings, [&] { return enabled; },
                         [&](const FeatureReport& r) { rig.link_.SendFeature8(r.data()); });
    capture.Poll();
    enabled = true;
    capture.Poll();
    rig.Keyboard([](SimKeyboard& k) {
        ASSERT_EQ(k.B().levelFrames.size(), 1u); // only while the music mode is shown
        EXPECT_EQ(k.B().levelFrames[0], (std::array<uint8_t, 3>{2, 4, 0}));
    });
}

} // namespace
} // namespace vantrel

namespace vantrel {
namespace {

TEST(MusicSettings, SharedRowDefaultsAndHandlers) {
    KeyRig rig(KeyboardFamily::kA);
    LanguageTexts texts(rig.dir_.path(), 1033);
    Visualizer visualizer(nullptr);
    MusicLevelSettings levels;
    MusicSettings music(rig.store_, texts, visualizer, levels, std::chrono::milliseconds(0));
    MusicLayerRecord row = music.Load(true, false);
    EXPECT_EQ(row.foremode, 17);
    EXPECT_EQ(row.fore_amplitude, 300);
    EXPECT_EQ(row.backb_right, 100);
    EXPECT_EQ(visualizer.Gain(), 300);
    EXPECT_FALSE(visualizer.Active());
    music.Load(false, true); // a second load finds the row
    EXPECT_EQ(rig.store_.CountMusicLayers(), 1);
    EXPECT_TRUE(visualizer.Active());

    music.SetGainSlider(60);
    music.SetForeground(9);
    music.SetBackground(2);
    music.SetBackgroundBrightness(40);
    MusicLayerRecord stored;
    ASSERT_TRUE(rig.store_.GetMusicLayer(kMusicLayerId, &stored));
    EXPECT_EQ(stored.fore_amplitude, 300);
    EXPECT_EQ(stored.foremode, 9);
    EXPECT_EQ(stored.backmode, 2);
    EXPECT_EQ(stored.backb_right, 40);
    EXPECT_EQ(visualizer.BackgroundBrightness(), 40);

    music.SetCapturePeriod(0); // no item data: unchanged
    music.SetCapturePeriod(66);
    music.SetLevelGainSlider(100);
    EXPECT_EQ(levels.periodMs.load(), 66);
    EXPECT_EQ(levels.gainSlider.load(), 100);
}

} // namespace
} // namespace vantrel
