#include "app/store/store.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using testing::TempDir;

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_ / "db");
        ASSERT_TRUE(db_.OpenForModel(dir_.path(), u"Model"));
    }
    KeyFunctionRecord Key(int profile, int code, int type, int value, int value2 = 0) {
        KeyFunctionRecord r;
        r.profile = profile;
        r.key_code = code;
        r.macro_type = type;
        r.macro_value = value;
        r.macro_value2 = value2;
        r.macro_desc = u"desc";
        return r;
    }
    TempDir dir_;
    SQLiteDB db_;
    Store store_{db_};
};

TEST_F(StoreTest, TextIsStoredAndReadBackUnchanged) {
    const std::u16string names[] = {
        u"it's \"quoted\"", u"100% done", u"\U0001F600 \u00f1 \u4e2d\u6587", std::u16string(10000, u'n'),
        u"x'); DROP TABLE t_profile_data; --", u"",
    };
    for (const auto& name : names) {
        int id = store_.InsertProfile(name, u"");
        ASSERT_NE(id, 0);
        std::u16string back;
        ASSERT_TRUE(store_.GetProfileName(id, &back));
        EXPECT_EQ(back, name);
        int macro = store_.InsertMacro(name);
        MacroRecord m;
        ASSERT_TRUE(store_.GetMacro(macro, &m));
        EXPECT_EQ(m.name, name);
    }
    std::vector<ProfileRecord> profiles;
    EXPECT_EQ(store_.ListProfiles(&profiles), static_cast<int>(std::size(names)));
}

TEST_F(StoreTest, SaveKeyFunctionKeepsOneRowPerKey) {
    EXPECT_EQ(store_.SaveKeyFunction(Key(1, 0, 1, 5)), 0); // key code 0 changes nothing
    int first = store_.SaveKeyFunction(Key(1, 4, 1, 5));
    ASSERT_NE(first, 0);
    int second = store_.SaveKeyFunction(Key(1, 4, 2, 6));
    ASSERT_NE(second, 0);
    std::vector<KeyFunctionRecord> keys;
    ASSERT_EQ(store_.ListKeyFunctions(1, 0, &keys), 1);
    EXPECT_EQ(keys[0].macro_value, 6);
    EXPECT_EQ(keys[0].macro_desc, u"desc");
    EXPECT_EQ(store_.SaveKeyFunction(Key(1, 4, 0, 0, 0)), 0); // both values 0: the row goes
    EXPECT_EQ(store_.ListKeyFunctions(1, 0, &keys), 0);
    EXPECT_NE(store_.SaveKeyFunction(Key(1, 5, 1, 0, 9)), 0); // a second value alone is kept
    EXPECT_EQ(store_.ListKeyFunctions(1, 0, &keys), 1);
    store_.DeleteProfileKeyFunctions(1);
    EXPECT_EQ(store_.ListKeyFunctions(1, 0, &keys), 0);
}

TEST_F(StoreTest, DeleteMacroRemovesItsEventsAndKeys) {
    int macro = store_.InsertMacro(u"M");
    int other = store_.InsertMacro(u"N");
    store_.SaveKeyFunction(Key(1, 4, kMacroFunctionKind, macro));
    store_.SaveKeyFunction(Key(2, 5, kMacroFunctionKind, macro));
    store_.SaveKeyFunction(Key(1, 6, kMacroFunctionKind, other));
    store_.SaveKeyFunction(Key(1, 7, 1, macro)); // another kind with the same value stays
    store_.InsertMacroEvents({{0, macro, 2, 0, 4, 10, u"A"}, {0, macro, 2, 1, 4, 10, u"A"}, {0, other, 2, 0, 5, 0, u"B"}});
    ASSERT_TRUE(store_.DeleteMacro(macro));
    std::vector<KeyFunctionRecord> keys;
    store_.ListKeyFunctions(1, 0, &keys);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].key_code, 6);
    EXPECT_EQ(keys[1].key_code, 7);
    EXPECT_EQ(store_.ListKeyFunctions(2, 0, &keys), 0);
    std::vector<MacroEventRecord> events;
    EXPECT_EQ(store_.ListMacroEvents(macro, &events), 0);
    EXPECT_EQ(store_.ListMacroEvents(other, &events), 1);
}

TEST_F(StoreTest, MacroEventsComeBackInRecordOrder) {
    int macro = store_.InsertMacro(u"M");
    store_.InsertMacroEvents({{0, macro, 2, 2, 30, 0, u"c"},
                              {0, macro, 1, 0, 0, 50, u"delay"},
                              {0, macro, 3, 1, 20, 0, u"b"}});
    std::vector<MacroEventRecord> events;
    ASSERT_EQ(store_.ListMacroEvents(macro, &events), 3);
    EXPECT_EQ(events[0].record_index, 0);
    EXPECT_EQ(events[1].desc, u"b");
    EXPECT_EQ(events[2].value, 30);
    EXPECT_EQ(store_.CountMacroActions(macro), 2); // delays are not actions
    MacroRecord m;
    m.macro_id = macro;
    m.play_times = 5;
    m.delay_type = 3;
    m.delay_time = 10;
    ASSERT_TRUE(store_.UpdateMacroPlayback(m));
    int playTimes = 0;
    ASSERT_TRUE(store_.GetPlayTimes(macro, &playTimes));
    EXPECT_EQ(playTimes, 5);
}

TEST_F(StoreTest, ExactlyOneActiveProfileAndLight) {
    EXPECT_EQ(store_.GetActiveProfile(), 0);
    int a = store_.InsertProfile(u"a", u""), b = store_.InsertProfile(u"b", u"");
    ASSERT_TRUE(store_.ActivateProfile(a));
    ASSERT_TRUE(store_.ActivateProfile(b));
    std::vector<ProfileRecord> profiles;
    store_.ListProfiles(&profiles);
    EXPECT_EQ(profiles[0].status + profiles[1].status, 1);
    EXPECT_EQ(store_.GetActiveProfile(), b);

    for (int profile : {a, b})
        for (int mode : {1, 2}) {
            LightRecord r;
            r.profile = profile;
            r.mode = mode;
            r.brightness = mode * 10;
            ASSERT_NE(store_.InsertLight(r), 0);
        }
    EXPECT_EQ(store_.CountLights(a), 2);
    ASSERT_TRUE(store_.ActivateLight(a, 2));
    ASSERT_TRUE(store_.ActivateLight(b, 1));
    EXPECT_EQ(store_.GetActiveLightMode(b), 1);
    EXPECT_EQ(store_.GetActiveLightMode(a), 0); // one active row in the whole table
    LightRecord changed;
    changed.brightness = 99;
    changed.color_value = 0x0000FF;
    ASSERT_TRUE(store_.UpdateLight(a, 2, changed));
    LightRecord back;
    ASSERT_TRUE(store_.GetLight(a, 2, &back));
    EXPECT_EQ(back.brightness, 99);
    EXPECT_EQ(back.color_value, 0x0000FF);
}

TEST_F(StoreTest, KeyColoursAndMusicLayerUseTheirFixedRows) {
    std::vector<KeyLightRecord> colours;
    for (int k = 0; k < 104; ++k) colours.push_back({0, 1, kKeyColourLightId, 4 + k, 0x00FF00});
    colours.push_back({0, 1, 5, 4, 0x0000FF});
    EXPECT_EQ(store_.InsertKeyLights(colours), 105);
    std::vector<KeyLightRecord> back;
    EXPECT_EQ(store_.ListKeyLights(kKeyColourLightId, &back), 104);
    ASSERT_TRUE(store_.DeleteKeyLights());
    EXPECT_EQ(store_.ListKeyLights(kKeyColourLightId, &back), 0);
    EXPECT_EQ(store_.ListKeyLights(5, &back), 1);

    EXPECT_EQ(store_.CountMusicLayers(), 0);
    EXPECT_EQ(store_.InsertMusicLayer(u"music", 2), kMusicLayerId);
    ASSERT_TRUE(store_.SelectMusicLayer());
    EXPECT_EQ(store_.GetSelectedMusicLayer(), kMusicLayerId);
    MusicLayerRecord layer;
    ASSERT_TRUE(store_.GetMusicLayer(kMusicLayerId, &layer));
    EXPECT_EQ(layer.fore_amplitude, 300);
    EXPECT_EQ(layer.backb_right, 100);
    layer.foremode = 7;
    ASSERT_TRUE(store_.UpdateMusicLayer(layer));
    ASSERT_TRUE(store_.GetMusicLayer(kMusicLayerId, &layer));
    EXPECT_EQ(layer.foremode, 7);
}

TEST_F(StoreTest, OtherDataKeepsOutputsWhenMissing) {
    int id = store_.InsertOtherData(u"Run", u"/usr/bin/foot", 2);
    ASSERT_NE(id, 0);
    std::u16string desc, param;
    int type = 0;
    EXPECT_TRUE(store_.GetOtherData(id, &desc, &param, &type));
    EXPECT_EQ(param, u"/usr/bin/foot");
    EXPECT_EQ(type, 2);
    EXPECT_TRUE(store_.GetOtherData(id + 100, &desc, &param, &type));
    EXPECT_EQ(desc, u"Run");
}

} // namespace
} // namespace vantrel
