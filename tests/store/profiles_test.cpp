#include "app/core/files.h"
#include "app/store/profiles.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace vantrel {
namespace {

using testing::TempDir;

// Stands for the key page: records what the profile operations ask of it.
class FakePage : public ProfilePage {
public:
    void ShowMessage(int text, int caption) override { Add("message " + std::to_string(text) + "/" + std::to_string(caption)); }
    bool AskYesNo(int text, int caption) override {
        Add("ask " + std::to_string(text) + "/" + std::to_string(caption));
        return answer;
    }
    void RefreshKeyPage() override { Add("refresh"); }
    void SetKeyboardViewEnabled(bool enabled) override { Add(enabled ? "view on" : "view off"); }
    void QueueWriteKeys() override { Add("write-keys"); }
    std::string Trace() {
        std::string out = trace_;
        trace_.clear();
        return out;
    }
    bool answer = true;

private:
    void Add(const std::string& e) { trace_ += (trace_.empty() ? "" : ", ") + e; }
    std::string trace_;
};

class ProfilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_ / "db");
        ASSERT_TRUE(WriteFileAtomically(dir_ / "1033.lan", "[KB.DIALOG]\n65=Profile\n"));
        ASSERT_TRUE(WriteFileAtomically(dir_ / "1034.lan", "[KB.DIALOG]\n65=Perfil\n"));
        ASSERT_TRUE(db_.OpenForModel(dir_.path(), u"Model"));
    }
    std::vector<std::u16string> Names() const {
        std::vector<std::u16string> names;
        for (const auto& e : profiles_.Entries()) names.push_back(e.display);
        return names;
    }
    TempDir dir_;
    SQLiteDB db_;
    Store store_{db_};
    LanguageTexts texts_{dir_.path(), 1033};
    NameFilter filter_;
    FakePage page_;
    Profiles profiles_{store_, texts_, filter_, page_};
};

TEST_F(ProfilesTest, FirstFillCreatesThreeDefaultProfiles) {
    profiles_.FillProfileList();
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"Profile 1", u"Profile 2", u"Profile 3"}));
    EXPECT_EQ(profiles_.Selected(), 0);
    EXPECT_EQ(profiles_.ActiveProfile(), profiles_.Entries()[0].id);
    EXPECT_EQ(store_.GetActiveProfile(), profiles_.Entries()[0].id);
    EXPECT_EQ(db_.Execute("SELECT 1"), SQLITE_OK);
    SQLiteStatement st(db_);
    st.Prepare("SELECT count(*), min(key) FROM t_configdata WHERE key = 'version' AND value = '1.0.1'");
    ASSERT_EQ(st.Step(), SQLITE_ROW);
    EXPECT_EQ(st.ColumnInt(0), 1);

    profiles_.FillProfileList(); // a second fill creates nothing
    EXPECT_EQ(profiles_.Entries().size(), 3u);
}

TEST_F(ProfilesTest, SpanishShowsStoredEnglishNamesInSpanish) {
    profiles_.FillProfileList();
    texts_.SetLanguageId(1034);
    EXPECT_EQ(profiles_.DisplayName(u"Profile 2"), u"Perfil 2");
    EXPECT_EQ(profiles_.DisplayName(u"Gaming"), u"Gaming");
    profiles_.FillProfileList();
    EXPECT_EQ(Names()[0], u"Perfil 1");
    EXPECT_EQ(profiles_.Entries()[0].name, u"Profile 1"); // stored unchanged
}

TEST_F(ProfilesTest, NewProfileTakesTheFirstFreeNumber) {
    profiles_.FillProfileList();
    page_.Trace();
    profiles_.SwitchProfile(1);
    page_.answer = true;
    profiles_.DeleteSelectedProfile(); // deletes "Profile 2"
    page_.Trace();
    profiles_.NewProfile();
    EXPECT_EQ(Names().back(), u"Profile 2");
    EXPECT_EQ(profiles_.ActiveProfile(), profiles_.Entries().back().id);
    EXPECT_EQ(page_.Trace(), "refresh, write-keys");
}

TEST_F(ProfilesTest, TheTwoHundredFirstIsRefused) {
    profiles_.FillProfileList();
    while (profiles_.Entries().size() < kMaxProfiles) profiles_.NewProfile();
    page_.Trace();
    profiles_.NewProfile();
    EXPECT_EQ(profiles_.Entries().size(), kMaxProfiles);
    EXPECT_EQ(page_.Trace(), "message 295/65");
}

TEST_F(ProfilesTest, DeleteRules) {
    profiles_.FillProfileList();
    page_.Trace();
    profiles_.SwitchProfile(2);
    page_.Trace();

    page_.answer = false;
    profiles_.DeleteSelectedProfile();
    EXPECT_EQ(profiles_.Entries().size(), 3u);
    EXPECT_EQ(page_.Trace(), "ask 290/291");

    page_.answer = true;
    profiles_.DeleteSelectedProfile(); // the third: the second becomes selected and active
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"Profile 1", u"Profile 2"}));
    EXPECT_EQ(profiles_.Selected(), 1);
    EXPECT_EQ(profiles_.ActiveProfile(), profiles_.Entries()[1].id);
    EXPECT_EQ(page_.Trace(), "ask 290/291, refresh, write-keys");

    profiles_.SwitchProfile(0);
    page_.Trace();
    profiles_.DeleteSelectedProfile(); // the first: nothing selected, the new first is active
    EXPECT_EQ(profiles_.Selected(), -1);
    EXPECT_EQ(profiles_.ActiveProfile(), profiles_.Entries()[0].id);
    page_.Trace();

    profiles_.SwitchProfile(0);
    page_.Trace();
    profiles_.DeleteSelectedProfile(); // the only one: nothing happens
    EXPECT_EQ(profiles_.Entries().size(), 1u);
    EXPECT_EQ(page_.Trace(), "");
}

TEST_F(ProfilesTest, RenameRefusesEmptyAndFilteredNames) {
    profiles_.FillProfileList();
    page_.Trace();
    struct Case {
        std::u16string name;
        bool accepted;
    } cases[] = {{u"", false},
                 {u"My SHITty profile", false},
                 {u"\u4e60\u8fd1\u5e73 fan", false},
                 {u"Work 'n' \"play\" 100%", true},
                 {std::u16string(10000, u'w'), true}};
    for (const Case& c : cases) {
        std::u16string before = profiles_.Entries()[0].name;
        EXPECT_EQ(profiles_.Rename(0, c.name), c.accepted);
        std::u16string stored;
        store_.GetProfileName(profiles_.Entries()[0].id, &stored);
        EXPECT_EQ(stored, c.accepted ? c.name : before);
        EXPECT_EQ(profiles_.Entries()[0].name, stored);
        EXPECT_EQ(page_.Trace(), c.accepted ? "" : "message 330/33");
    }
}

TEST_F(ProfilesTest, SwitchActivatesAndWritesKeys) {
    profiles_.FillProfileList();
    page_.Trace();
    profiles_.SwitchProfile(2);
    EXPECT_EQ(store_.GetActiveProfile(), profiles_.Entries()[2].id);
    EXPECT_EQ(page_.Trace(), "view on, refresh, write-keys");
    profiles_.SwitchProfile(-1);
    EXPECT_EQ(page_.Trace(), "view off");
    EXPECT_EQ(store_.GetActiveProfile(), profiles_.Entries()[2].id);
}

TEST_F(ProfilesTest, WithoutDatabaseTheListStaysEmpty) {
    db_.Close();
    profiles_.FillProfileList();
    EXPECT_TRUE(profiles_.Entries().empty());
    profiles_.NewProfile();
    EXPECT_TRUE(profiles_.Entries().empty());
}

} // namespace
} // namespace vantrel
