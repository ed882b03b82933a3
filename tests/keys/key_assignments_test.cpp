#include "app/core/files.h"
#include "app/keys/host_actions.h"
#include "app/core/text_encoding.h"
#include "app/keys/key_assignments.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using testing::TempDir;

class FakeKeyPage : public KeyPage {
public:
    void ShowMessage(int text, int caption) override { Add("message " + std::to_string(text) + "/" + std::to_string(caption)); }
    bool AskYesNo(int text, int) override {
        Add("ask " + std::to_string(text));
        return yes;
    }
    void ClearMarks() override { Add("clear-marks"); }
    void MarkKey(int code, const std::u16string& title, const std::u16string& text) override {
        Add("mark " + std::to_string(code) + " " + WideToUtf8(title) + ":" + WideToUtf8(text));
    }
    void UnmarkKey(int code) override { Add("unmark " + std::to_string(code)); }
    void ClearSelection() override { Add("clear-selection"); }
    void HighlightListItem(int value, int, int) override { Add("highlight " + std::to_string(value)); }
    bool RunAssignmentDialog(int kind, int code) override {
        Add("dialog " + std::to_string(kind) + " " + std::to_string(code));
        return dialogOk;
    }
    void QueueWriteKeys(bool single) override { Add(single ? "write-key" : "write-all"); }
    void SelectFirstColourSet() override { Add("colour-set-1"); }
    std::string Trace() {
        std::string t = trace_;
        trace_.clear();
        return t;
    }
    bool yes = true;
    bool dialogOk = true;

private:
    void Add(const std::string& e) { trace_ += (trace_.empty() ? "" : ", ") + e; }
    std::string trace_;
};

class KeyAssignmentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_ / "db");
        ASSERT_TRUE(WriteFileAtomically(dir_ / "1033.lan", "[KB.DIALOG]\n202=Disabled\n205=Key\n206=Macro\n209=Shortcut\n702=Copy\n"));
        ASSERT_TRUE(db_.OpenForModel(dir_.path(), u"M"));
        keys_.SetProfile(store_.InsertProfile(u"P", u""));
    }
    int Stored(int code) {
        KeyFunctionRecord r;
        return store_.GetKeyFunction(keys_.Profile(), 0, code, &r) ? r.macro_type : -1;
    }
    TempDir dir_;
    SQLiteDB db_;
    Store store_{db_};
    LanguageTexts texts_{dir_.path(), 1033};
    FakeKeyPage page_;
    KeyAssignments keys_{store_, texts_, page_, [](int id) { return u"macro #" + Utf8ToWide(std::to_string(id)); }};
};

TEST_F(KeyAssignmentsTest, ListItemsMenuCommandsAndTips) {
    ASSERT_TRUE(keys_.SelectKey(0x29));
    keys_.ChooseListItem(234, 0, 0, u"Volume up");
    EXPECT_EQ(page_.Trace(), "mark 41 Key:Volume up, highlight 234, write-key");
    KeyFunctionRecord r;
    ASSERT_TRUE(store_.GetKeyFunction(keys_.Profile(), 0, 0x29, &r));
    EXPECT_EQ(r.macro_type, kListCode);
    EXPECT_EQ(r.macro_value, 234);

    keys_.OnMenuCommand(kMenuDisable);
    EXPECT_EQ(Stored(0x29), kDisabled);
    EXPECT_EQ(page_.Trace(), "mark 41 Disabled:, write-key");
    keys_.OnMenuCommand(kMenuOwnFunction);
    EXPECT_EQ(Stored(0x29), -1);
    EXPECT_EQ(page_.Trace(), "unmark 41, clear-selection, write-key");

    EXPECT_FALSE(keys_.SelectKey(175)); // Fn
    EXPECT_EQ(page_.Trace(), "message 365/366, clear-selection");

    KeyFunctionRecord shortcut;
    shortcut.profile = keys_.Profile();
    shortcut.key_code = 0x04;
    shortcut.macro_type = kShortcut;
    shortcut.macro_value = 2;
    store_.SaveKeyFunction(shortcut);
    keys_.Refresh();
    EXPECT_EQ(page_.Trace(), "clear-marks, mark 4 Shortcut:Copy");
}

TEST_F(KeyAssignmentsTest, Limits) {
    for (int code = 4; code < 14; ++code) {
        keys_.SelectKey(code);
        keys_.ChooseListItem(30, 0, 0, u"1");
    }
    page_.Trace();
    keys_.SelectKey(4); // even changing one of the ten is refused
    keys_.ChooseListItem(31, 0, 0, u"2");
    EXPECT_EQ(page_.Trace(), "highlight 30, message 367/368");

    for (int code = 20; code < 32; ++code) {
        KeyFunctionRecord r;
        r.profile = keys_.Profile();
        r.key_code = code;
        r.macro_type = kShortcut;
        r.macro_value = 1;
        store_.SaveKeyFunction(r);
    }
    keys_.SelectKey(40);
    page_.Trace();
    keys_.OnMenuCommand(kMenuMacro);
    EXPECT_EQ(page_.Trace(), "message 363/364");
    store_.DeleteProfileKeyFunctions(keys_.Profile());
    keys_.OnMenuCommand(kMenuShortcut);
    EXPECT_EQ(page_.Trace(), "dialog 7 40, clear-marks, write-key");
}

TEST_F(KeyAssignmentsTest, RestoreDefaultKeys) {
    keys_.SelectKey(4);
    keys_.ChooseListItem(30, 0, 0, u"1");
    page_.Trace();
    page_.yes = false;
    keys_.RestoreDefaultKeys();
    EXPECT_EQ(Stored(4), kListCode);
    page_.yes = true;
    keys_.RestoreDefaultKeys();
    EXPECT_EQ(Stored(4), -1);
    EXPECT_EQ(page_.Trace(), "ask 165, ask 165, colour-set-1, clear-marks, write-all");
}

class FakePlatform : public HostPlatform {
public:
    bool Launch(const std::filesystem::path& p) override { return done("launch " + p.string()); }
    bool OpenAddress(const std::string& url) override { return done("open " + url); }
    bool TypeText(const std::u16string& text) override { return done("type " + WideToUtf8(text)); }
    bool done(const std::string& e) {
        trace = e;
        return true;
    }
    std::string trace;
};

TEST_F(KeyAssignmentsTest, HostActions) {
    struct Address {
        const char16_t* text;
        const char* url; // nullptr: refused
    } addresses[] = {{u"example.org", "https://www.example.org"},
                     {u"www.example.org/a?b=1", "https://www.example.org/a?b=1"},
                     {u"http://example.org", "http://example.org"},
                     {u"HTTPS://x.org", "HTTPS://x.org"},
                     {u"file:///etc/passwd", nullptr},
                     {u"javascript://x", nullptr},
                     {u"a b", nullptr},
                     {u"", nullptr}};
    for (const Address& a : addresses) {
        auto url = AddressOf(a.text);
        if (a.url) {
            EXPECT_EQ(url, std::string(a.url));
        } else {
            EXPECT_FALSE(url) << WideToUtf8(a.text);
        }
    }

    FakePlatform platform;
    int switched = 0;
    HostActions actions(store_, platform, [&](int p) { switched = p; });
    ASSERT_TRUE(WriteFileAtomically(dir_ / "tool", "#!/bin/sh\n"));
    const int launch = store_.InsertOtherData(u"Tool", Utf8ToWide((dir_ / "tool").string()), kLaunchProgram);
    const int missing = store_.InsertOtherData(u"Gone", u"/no/such/program; rm -rf ~", kLaunchProgram);
    const int web = store_.InsertOtherData(u"example.org", u"", kOpenAddress);
    const int type = store_.InsertOtherData(u"hello \u00f1", u"", kTypeText);
    const int sw = store_.InsertOtherData(u"Gaming", u"7", kSwitchProfile);
    EXPECT_TRUE(actions.RunHostAction(launch));
    EXPECT_EQ(platform.trace, "launch " + (dir_ / "tool").string());
    platform.trace.clear();
    EXPECT_FALSE(actions.RunHostAction(missing));
    EXPECT_EQ(platform.trace, "");
    EXPECT_TRUE(actions.RunHostAction(web));
    EXPECT_EQ(platform.trace, "open https://www.example.org");
    EXPECT_TRUE(actions.RunHostAction(type));
    EXPECT_EQ(platform.trace, "type hello \xC3\xB1");
    EXPECT_TRUE(actions.RunHostAction(sw));
    EXPECT_EQ(switched, 7);
    EXPECT_FALSE(actions.RunHostAction(9999));
}

} // namespace
} // namespace vantrel
