#include "app/core/files.h"
#include "app/macros/macros.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using testing::TempDir;

class MacrosTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_ / "db");
        ASSERT_TRUE(WriteFileAtomically(dir_ / "1033.lan", "[KB.DIALOG]\n331=Macro\n"));
        ASSERT_TRUE(WriteFileAtomically(dir_ / "1034.lan", "[KB.DIALOG]\n331=Macro ES\n"));
        ASSERT_TRUE(db_.OpenForModel(dir_.path(), u"M"));
    }
    std::u16string Name(int id) {
        MacroRecord m;
        store_.GetMacro(id, &m);
        return m.name;
    }
    TempDir dir_;
    SQLiteDB db_;
    Store store_{db_};
    LanguageTexts texts_{dir_.path(), 1033};
    NameFilter filter_;
    Macros macros_{store_, texts_, filter_};
};

TEST_F(MacrosTest, NamesAndDuplicates) {
    const int first = macros_.Create();
    const int second = macros_.Create();
    const int third = macros_.Create();
    EXPECT_EQ(Name(first), u"Macro 1");
    EXPECT_EQ(Name(third), u"Macro 3");
    macros_.Delete(second);
    EXPECT_EQ(Name(macros_.Create()), u"Macro 2");

    store_.InsertMacroEvents({{0, first, 2, 0, 65, 10, u"A"}, {0, first, 3, 1, 65, 0, u"A"}});
    macros_.SaveSettings(first, 5, 3, 40);
    const int copy = macros_.Duplicate(first);
    EXPECT_EQ(Name(copy), u"Macro 1 - 1");
    MacroRecord m;
    ASSERT_TRUE(store_.GetMacro(copy, &m));
    EXPECT_EQ(m.play_times, 5);
    EXPECT_EQ(m.delay_type, 3);
    EXPECT_EQ(m.delay_time, 40);
    EXPECT_EQ(macros_.CountActions(copy), 2);

    texts_.SetLanguageId(1034);
    EXPECT_EQ(macros_.DisplayName(u"Macro 4"), u"Macro ES 4");
}

TEST_F(MacrosTest, RenameRulesAndSettingsLimits) {
    const int id = macros_.Create();
    EXPECT_EQ(macros_.Rename(id, u""), RenameResult::kEmpty);
    EXPECT_EQ(macros_.Rename(id, u"Fuckup"), RenameResult::kFiltered);
    EXPECT_EQ(Name(id), u"Macro 1");
    EXPECT_EQ(macros_.Rename(id, u"Build & run"), RenameResult::kRenamed);
    EXPECT_EQ(Name(id), u"Build & run");

    struct Case {
        int typed, stored;
    } cases[] = {{0, 1}, {150, 99}, {42, 42}};
    for (const Case& c : cases) {
        macros_.SaveSettings(id, c.typed, 1, 500);
        int playTimes = 0;
        store_.GetPlayTimes(id, &playTimes);
        EXPECT_EQ(playTimes, c.stored);
    }
    MacroRecord m;
    store_.GetMacro(id, &m);
    EXPECT_EQ(m.delay_time, 10); // the fixed delay is kept only in mode 3
}

TEST_F(MacrosTest, SavingEventsRenumbersThem) {
    const int id = macros_.Create();
    macros_.SaveEvents(id, {{0, 0, 3, 7, 66, 0, u"B"}, {0, 0, 2, 3, 65, 5, u"A"}, {0, 0, 1, 9, 0, 30, u""}});
    std::vector<MacroEventRecord> events;
    ASSERT_EQ(store_.ListMacroEvents(id, &events), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(events[static_cast<size_t>(i)].record_index, i);
    EXPECT_EQ(events[0].desc, u"B");
    EXPECT_EQ(macros_.CountActions(id), 2);
}

} // namespace
} // namespace vantrel
