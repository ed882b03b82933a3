#include "app/core/files.h"
#include "app/lighting/lighting.h"
#include "tests/support/key_bench.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using namespace vantrel::testing;

class FakeLightView : public LightView {
public:
    void SetModeList(const std::vector<std::pair<std::u16string, int>>& items, int selected) override {
        modes = items;
        selectedMode = selected;
    }
    void ShowMode(const LightRecord& r, unsigned caps, KeyboardFamily) override {
        shown = r;
        capabilities = caps;
    }
    void SetPreviewMode(int mode) override { previewMode = mode; }
    void SetPreviewColour(bool colourful, int colour) override { previewColour = {colourful, colour}; }
    void SetPreviewSpeed(int speed) override { previewSpeed = speed; }
    void SetPaintColour(int colour) override { paintColour = colour; }
    void SetKeyColour(int code, int colour) override { keyColours[code] = colour; }
    void SetPerKeyControls(bool shown_) override { perKeyControls = shown_; }
    void ShowWaitDialog() override { ++waits; }

    std::vector<std::pair<std::u16string, int>> modes;
    int selectedMode = -1;
    LightRecord shown;
    unsigned capabilities = 0;
    int previewMode = 0, previewSpeed = 0, paintColour = -1, waits = 0;
    std::pair<bool, int> previewColour{false, -1};
    std::map<int, int> keyColours;
    bool perKeyControls = false;
};

ModelSettings Model(int deviceType) {
    ModelSettings m;
    m.deviceType = deviceType;
    m.defaultMode = 3;
    m.defaultBrightness = 4;
    m.defaultSpeed = 3;
    m.lightModes = {{u"401", 1, 0x031}, {u"402", 2, 0x063}, {u"403", 3, 0x027}, {u"410", 4, 0x011},
                    {u"406", 6, 0x101}, {u"407", 7, 0x200}, {u"409", 9, 0x801}, {u"411", 10, 0x003}};
    return m;
}

// A light page on a simulated keyboard, with the job queue drained by hand as the worker would.
class LightRig {
public:
    LightRig(KeyboardFamily family, int deviceType, int mode = 0) : keys(family, mode), family_(family) {
        std::filesystem::create_directories(keys.dir_ / "lang");
        WriteFileAtomically(keys.dir_ / "lang" / "1033.lan", "[KB.DIALOG]\n401=Static\n409=Areas\n");
        lighting.SetModel(Model(deviceType));
        lighting.SetProfile(keys.profile_);
        lighting.EnsureDefaultLightRows();
        lighting.FillLightModeList();
        connectionKind = mode;
    }
    // Runs the queued light jobs as the worker does; returns how many ran.
    int RunJobs() {
        int ran = 0;
        while (auto task = queue.Front()) {
            if (*task == kApplyLight) {
                if (auto r = lighting.Selected())
                    SendLight(keys.link_, family_, connectionKind, *r, state.perKeySlot, state.modeSent);
            } else if (*task == kWriteKeyColours) {
                WriteKeyColours(keys.store_, keys.link_, keys.positions_);
            }
            queue.RemoveFront();
            ++ran;
        }
        return ran;
    }
    KeyRig keys;
    KeyboardFamily family_;
    LanguageTexts texts{keys.dir_ / "lang", 1033};
    DeviceTaskQueue queue;
    FakeLightView view;
    LightState state;
    Lighting lighting{keys.store_, texts, queue, view, state};
    int connectionKind = 0;
};

TEST(Lighting, DefaultRowsOnceAndTheModeList) {
    LightRig rig(KeyboardFamily::kB, 201);
    std::vector<LightRecord> rows;
    ASSERT_EQ(rig.keys.store_.ListLights(rig.keys.profile_, &rows), 8);
    rig.lighting.EnsureDefaultLightRows();
    EXPECT_EQ(rig.keys.store_.CountLights(rig.keys.profile_), 8);
    EXPECT_EQ(rows[0].direction, 2); // family B: right
    EXPECT_EQ(rows[0].color_value, 0x0000FF);
    EXPECT_EQ(rows[6].mode, 9);
    EXPECT_EQ(rows[6].speed + rows[6].direction + rows[6].colorindex, 0);
    EXPECT_EQ(rows[7].speed, 3); // modes after 9 get the defaults again
    EXPECT_EQ(rig.view.modes[0].first, u"Static");
    EXPECT_EQ(rig.view.selectedMode, 3);
    EXPECT_EQ(rig.view.shown.mode, 3);
    EXPECT_EQ(rig.state.capabilities.load(), 0x027u);
}

TEST(Lighting, FamilyASendsTheModeThenItsParameters) {
    LightRig rig(KeyboardFamily::kA, 100);
    rig.lighting.SelectMode(2);
    EXPECT_EQ(rig.RunJobs(), 1);
    rig.keys.Keyboard([](SimKeyboard& k) { EXPECT_EQ(k.A().lightMode[1], 2); });
    for (int b = 1; b <= 5; ++b) rig.lighting.SetBrightness(b); // while the job waits: one job
    rig.lighting.SetPresetColour(3);
    EXPECT_EQ(rig.queue.Size(), 1u);
    rig.lighting.SetFreeColour(0x00FF8040);
    EXPECT_EQ(rig.RunJobs(), 2);
    rig.keys.Keyboard([](SimKeyboard& k) {
        const auto& p = k.A().lightParameters; // from byte 2 of the 0x89 report
        EXPECT_EQ(p[1], (0 << 4) | 0x40 | 3);  // direction left, colourful, speed 3
        EXPECT_EQ(p[2], 0x40);
        EXPECT_EQ(p[3], 0x80);
        EXPECT_EQ(p[4], 0xFF);
        EXPECT_EQ(p[5], 5); // the last brightness
    });
}

TEST(Lighting, FamilyBCableAndWirelessReports) {
    struct Case {
        const char* name;
        int connection;
        int mode;
        std::function<void(Lighting&)> change;
        std::vector<uint8_t> sent; // parameters from mode − 1 on
    } cases[] = {
        {"speed 0 stays 0", 0, 1, [](Lighting& l) { l.SetSpeed(0); }, {0, 0, 2, 0, 3, 0}},
        {"direction left", 0, 2, [](Lighting& l) { l.SetDirection(true); }, {1, 0, 1, 2, 3, 0}},
        {"free colour", 0, 4, [](Lighting& l) { l.SetFreeColour(0x00332211); }, {3, 0, 0x11, 0x22, 3, 0x33}},
        {"areas keep speed", 0, 9, [](Lighting& l) { l.SetAreaColour(6, 5); }, {8, 0, 0, 0x50, 3, 0}},
        {"per-key slot", 0, 6, [](Lighting& l) { l.SetBrightness(2); }, {5, 0, 2, 2, 1, 0}},
        {"receiver", 1, 2, [](Lighting& l) { l.SetBrightness(1); }, {1, 0, 2, 2, 0, 0}},
    };
    for (const Case& c : cases) {
        LightRig rig(KeyboardFamily::kB, 201, c.connection);
        rig.lighting.SelectMode(c.mode);
        rig.RunJobs();
        c.change(rig.lighting);
        rig.RunJobs();
        rig.keys.Keyboard([&](SimKeyboard& k) {
            std::vector<uint8_t> got = c.connection == 0 ? k.B().lightFeature
                                                         : std::vector<uint8_t>(k.B().lightWireless.begin() + 1,
                                                                                k.B().lightWireless.begin() + 7);
            EXPECT_EQ(got, c.sent) << c.name;
        });
    }
}

TEST(Lighting, AreaNibblesColourfulAndEditBoxes) {
    LightRig rig(KeyboardFamily::kB, 201);
    rig.lighting.SelectMode(9);
    rig.lighting.SetAreaColour(5, 3);
    rig.lighting.SetAreaColour(4, 6);
    EXPECT_EQ(rig.lighting.Selected()->colorindex, 0x36);

    rig.lighting.SelectMode(1);
    rig.lighting.SetFreeColour(0x00123456);
    rig.lighting.SetColourful(false, true); // a picked colour unchecks the box and stays
    EXPECT_EQ(rig.lighting.Selected()->color_value, 0x00123456);
    EXPECT_EQ(rig.lighting.Selected()->colorful, 0);
    rig.lighting.SetColourful(true);
    rig.lighting.SetColourful(false); // by hand: back to red
    EXPECT_EQ(rig.lighting.Selected()->color_value, 0x0000FF);

    struct Channel {
        const char16_t* typed;
        int value;
        bool corrected;
    } channels[] = {{u"300", 255, true}, {u"abc", 0, true}, {u"17", 17, false}, {u"-4", 0, true}};
    for (const Channel& c : channels) {
        bool changed = false;
        EXPECT_EQ(Lighting::ClampChannel(c.typed, &changed), c.value);
        EXPECT_EQ(changed, c.corrected);
    }
    EXPECT_EQ(Lighting::ComposeColour(0x11, 0x22, 0x33), 0x00332211);
}

TEST(Lighting, TypeTwoHundredIsFamilyAAndActivationIsGlobal) {
    LightRig rig(KeyboardFamily::kA, 100);
    rig.lighting.SetModel(Model(200));
    rig.lighting.SelectMode(2);
    rig.lighting.SetDirection(true);
    EXPECT_EQ(rig.lighting.Selected()->direction, 0);
    const int other = rig.keys.store_.InsertProfile(u"Other", u"");
    rig.lighting.SetProfile(other);
    rig.lighting.EnsureDefaultLightRows();
    rig.lighting.FillLightModeList();
    EXPECT_EQ(rig.keys.store_.GetActiveLightMode(rig.keys.profile_), 0);
    EXPECT_EQ(rig.keys.store_.GetActiveLightMode(other), 3);
}

TEST(Lighting, PerKeyColours) {
    LightRig rig(KeyboardFamily::kA, 100);
    rig.keys.store_.InsertKeyLights({{0, 1, kKeyColourLightId, 0x04, 0x0000FF}, {0, 1, kKeyColourLightId, 0x04, 0x00FF00},
                                     {0, 1, kKeyColourLightId + 2, 0x05, 0x112233}});
    rig.lighting.SelectMode(6);
    EXPECT_EQ(rig.view.previewMode, kPreviewPerKeyMode);
    EXPECT_TRUE(rig.view.perKeyControls);
    EXPECT_EQ(rig.view.keyColours.at(0x04), 0x00FF00); // the later row wins
    rig.RunJobs();

    rig.lighting.SetFreeColour(0x00ABCDEF); // only the painting colour
    EXPECT_TRUE(rig.queue.Empty());
    EXPECT_EQ(rig.view.paintColour, 0x00ABCDEF);

    // A paint stores every key of the preview, then one frame per paint.
    rig.lighting.PaintKeys({{0x04, 0x000000FF}, {0x1E, 0x00FF0000}, {500, 0x00FFFFFF}});
    rig.lighting.PaintKeys({{0x04, 0x0000FF00}, {0x1E, 0x00FF0000}, {500, 0x00FFFFFF}});
    std::vector<KeyLightRecord> rows;
    EXPECT_EQ(rig.keys.store_.ListKeyLights(kKeyColourLightId, &rows), 3);
    EXPECT_EQ(rig.RunJobs(), 2);
    rig.keys.Keyboard([](SimKeyboard& k) {
        const auto& t = k.A().colourTable;
        EXPECT_EQ(std::vector<uint8_t>(t.begin(), t.begin() + 4), (std::vector<uint8_t>{0x00, 0xFF, 0x00, 0xFF}));
        const size_t p = 4 * (0x1E - 4); // the key 0x1E sits at light position 26
        EXPECT_EQ(std::vector<uint8_t>(t.begin() + p, t.begin() + p + 4), (std::vector<uint8_t>{0, 0, 0xFF, 0xFF}));
        const auto& last = k.Reports().back().bytes;
        EXPECT_EQ(last[1], 0x8B);
        EXPECT_EQ(last[2], 20);  // the last chunk declares 20 bytes
        EXPECT_EQ(last[3], 420 & 0xFF);
        EXPECT_EQ(k.Reports().size(), 1u + 16u); // the mode, then two frames of eight chunks
    });

    // Family A slot select from the UI thread.
    rig.view.keyColours.clear();
    rig.lighting.SelectSlot(2, rig.keys.link_);
    rig.keys.Keyboard([](SimKeyboard& k) {
        EXPECT_EQ(k.A().customSelect, (std::vector<uint8_t>{5, 4, 3, 0, 2}));
    });
    EXPECT_EQ(rig.view.keyColours.at(0x05), 0x112233);

    rig.lighting.SelectMode(1);
    EXPECT_FALSE(rig.view.perKeyControls);
}

} // namespace
} // namespace vantrel
