#include "app/core/files.h"
#include "app/store/sqlite_db.h"
#include "app/store/store.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

namespace vantrel {
namespace {

using testing::TempDir;

// Runs one query on a separate connection, as another program would see the file.
std::string Query(const std::filesystem::path& file, const char* sql) {
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_exec(
            db, sql,
            [](void* out, int n, char** values, char**) {
                auto* s = static_cast<std::string*>(out);
                for (int i = 0; i < n; ++i) {
                    if (!s->empty()) s->push_back(',');
                    s->append(values[i] ? values[i] : "");
                }
                return 0;
            },
            &result, nullptr);
    }
    sqlite3_close(db);
    return result;
}

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(dir_ / "db"); }
    std::filesystem::path File(const char16_t* model) { return SQLiteDB::ModelFile(dir_.path(), model); }
    TempDir dir_;
};

TEST_F(DatabaseTest, FirstOpenCreatesTheSchemaInWalMode) {
    SQLiteDB db;
    ASSERT_TRUE(db.OpenForModel(dir_.path(), u"K100", 100));
    EXPECT_EQ(File(u"K100"), dir_.path() / "db" / "K100_data_v3.db");
    EXPECT_TRUE(std::filesystem::exists(File(u"K100")));
    EXPECT_EQ(db.ModelType(), 100);
    EXPECT_EQ(Query(File(u"K100"), "SELECT count(*) FROM sqlite_master WHERE name NOT LIKE 'sqlite_%'"), "17");
    EXPECT_EQ(Query(File(u"K100"), "PRAGMA journal_mode"), "wal");
    EXPECT_EQ(db.Execute("SELECT 1"), SQLITE_OK);
}

TEST_F(DatabaseTest, ExistingFileIsOpenedWithoutSchemaStatements) {
    {
        SQLiteDB db;
        ASSERT_TRUE(db.OpenForModel(dir_.path(), u"K100"));
        ASSERT_EQ(db.Execute("DROP TABLE t_configdata"), SQLITE_OK);
    }
    SQLiteDB db;
    ASSERT_TRUE(db.OpenForModel(dir_.path(), u"K100"));
    EXPECT_EQ(Query(File(u"K100"), "SELECT count(*) FROM sqlite_master WHERE name = 't_configdata'"), "0");
}

TEST_F(DatabaseTest, ModelsKeepSeparateFilesAndResetTouchesOnlyOne) {
    SQLiteDB db;
    Store store(db);
    ASSERT_TRUE(db.OpenForModel(dir_.path(), u"A"));
    store.InsertProfile(u"only in A", u"");
    db.Close();
    ASSERT_TRUE(db.OpenForModel(dir_.path(), u"B"));
    std::vector<ProfileRecord> profiles;
    EXPECT_EQ(store.ListProfiles(&profiles), 0);
    store.InsertProfile(u"only in B", u"");

    // Factory reset of B: close, delete, create anew.
    db.Close();
    EXPECT_TRUE(SQLiteDB::DeleteModelFile(dir_.path(), u"B"));
    ASSERT_TRUE(db.OpenForModel(dir_.path(), u"B"));
    EXPECT_EQ(store.ListProfiles(&profiles), 0);
    db.Close();
    ASSERT_TRUE(db.OpenForModel(dir_.path(), u"A"));
    ASSERT_EQ(store.ListProfiles(&profiles), 1);
    EXPECT_EQ(profiles[0].name, u"only in A");
}

// Every operation, run without a usable database, must give its failure value.
void ExpectAllOperationsFail(Store& store) {
    std::vector<ProfileRecord> profiles{ProfileRecord{}};
    std::vector<KeyFunctionRecord> keys{KeyFunctionRecord{}};
    std::vector<MacroRecord> macros{MacroRecord{}};
    std::vector<MacroEventRecord> events{MacroEventRecord{}};
    std::vector<LightRecord> lights{LightRecord{}};
    std::vector<KeyLightRecord> keyLights{KeyLightRecord{}};
    std::u16string text = u"unchanged";
    KeyFunctionRecord key;
    key.key_code = 4;
    key.macro_value = 1;
    MacroRecord macro;
    LightRecord light;
    MusicLayerRecord layer;
    int number = 7;

    EXPECT_EQ(store.InsertProfile(u"p", u""), 0);
    EXPECT_FALSE(store.DeleteProfile(1));
    EXPECT_FALSE(store.RenameProfile(1, u"x"));
    EXPECT_FALSE(store.GetProfileName(1, &text));
    EXPECT_EQ(store.ListProfiles(&profiles), 0);
    EXPECT_TRUE(profiles.empty());
    EXPECT_FALSE(store.ActivateProfile(1));
    EXPECT_EQ(store.GetActiveProfile(), 0);
    EXPECT_EQ(store.SaveKeyFunction(key), 0);
    EXPECT_FALSE(store.GetKeyFunction(1, 0, 4, &key));
    EXPECT_EQ(store.ListKeyFunctions(1, 0, &keys), 0);
    EXPECT_TRUE(keys.empty());
    EXPECT_EQ(store.InsertOtherData(u"d", u"p", 1), 0);
    text = u"unchanged";
    store.GetOtherData(1, &text, &text, &number);
    EXPECT_EQ(text, u"unchanged");
    EXPECT_EQ(number, 7);
    EXPECT_EQ(store.InsertMacro(u"m"), 0);
    EXPECT_EQ(store.InsertMacroRecord(macro), 0);
    EXPECT_FALSE(store.RenameMacro(1, u"m"));
    EXPECT_FALSE(store.UpdateMacroPlayback(macro));
    EXPECT_FALSE(store.DeleteMacro(1));
    EXPECT_FALSE(store.GetPlayTimes(1, &number));
    EXPECT_FALSE(store.GetMacro(1, &macro));
    EXPECT_EQ(store.ListMacros(&macros), 0);
    EXPECT_EQ(store.InsertMacroEvent(MacroEventRecord{}), 0);
    EXPECT_EQ(store.ListMacroEvents(1, &events), 0);
    EXPECT_FALSE(store.DeleteMacroEvents(1));
    EXPECT_EQ(store.CountMacroActions(1), 0);
    EXPECT_EQ(store.CountLights(1), 0);
    EXPECT_EQ(store.InsertLight(light), 0);
    EXPECT_FALSE(store.UpdateLight(1, 1, light));
    EXPECT_FALSE(store.ActivateLight(1, 1));
    EXPECT_EQ(store.GetActiveLightMode(1), 0);
    EXPECT_FALSE(store.GetLight(1, 1, &light));
    EXPECT_EQ(store.ListLights(1, &lights), 0);
    EXPECT_EQ(store.InsertKeyLights({KeyLightRecord{}}), 0);
    EXPECT_FALSE(store.DeleteKeyLights());
    EXPECT_EQ(store.ListKeyLights(128, &keyLights), 0);
    EXPECT_EQ(store.CountMusicLayers(), 0);
    EXPECT_EQ(store.InsertMusicLayer(u"m", 1), 0);
    EXPECT_FALSE(store.GetMusicLayer(1, &layer));
    EXPECT_FALSE(store.UpdateMusicLayer(layer));
    EXPECT_FALSE(store.SelectMusicLayer());
    EXPECT_EQ(store.GetSelectedMusicLayer(), 0);
    store.WriteDefaultSettings();
    store.DeleteProfileKeyFunctions(1);
    store.InsertMacroEvents({MacroEventRecord{}});
}

TEST_F(DatabaseTest, WithNoDatabaseEveryOperationFails) {
    SQLiteDB db;
    Store store(db);
    EXPECT_EQ(db.Execute("SELECT 1"), kSqliteMisuse);
    EXPECT_EQ(db.LastInsertId(), -1);
    SQLiteStatement st(db);
    EXPECT_EQ(st.Prepare("SELECT 1"), kSqliteMisuse);
    EXPECT_EQ(st.Step(), kSqliteMisuse);
    ExpectAllOperationsFail(store);
}

std::string ValidDatabaseBytes(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder / "db");
    {
        SQLiteDB db;
        db.OpenForModel(folder, u"M");
        Store store(db);
        for (int i = 0; i < 300; ++i) store.InsertMacro(std::u16string(200, u'x'));
        db.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    std::string bytes;
    ReadFileBytes(SQLiteDB::ModelFile(folder, u"M"), &bytes);
    return bytes;
}

TEST_F(DatabaseTest, BadFilesAreRefusedAndLeftAlone) {
    const std::string valid = ValidDatabaseBytes(dir_ / "valid");
    ASSERT_GT(valid.size(), 8192u);
    std::string truncated = valid.substr(0, valid.size() / 2);
    std::string damaged = valid;
    for (size_t i = 4096; i < 8192; ++i) damaged[i] = static_cast<char>(i * 7);
    std::string newer = valid;
    newer[60] = 0x7F; // user_version in the header: a schema from a newer program

    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"text file", "these are my notes, not a database\n"},
        {"empty-looking binary", std::string(4096, '\x01')},
        {"truncated", truncated},
        {"damaged page", damaged},
        {"newer schema", newer},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileAtomically(File(u"Bad"), c.bytes));
        SQLiteDB db;
        Store store(db);
        EXPECT_FALSE(db.OpenForModel(dir_.path(), u"Bad")) << c.name;
        EXPECT_FALSE(db.Opened()) << c.name;
        ExpectAllOperationsFail(store);
        std::string after;
        ASSERT_TRUE(ReadFileBytes(File(u"Bad"), &after));
        EXPECT_TRUE(after == c.bytes) << c.name << ": the user's file was changed";
    }
}

TEST_F(DatabaseTest, ReadOnlyFileIsReadableButNotWritten) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
    {
        SQLiteDB db;
        ASSERT_TRUE(db.OpenForModel(dir_.path(), u"RO"));
        Store(db).InsertProfile(u"kept", u"");
        db.Execute("PRAGMA journal_mode = DELETE");
    }
    std::filesystem::permissions(File(u"RO"), std::filesystem::perms::owner_read);
    SQLiteDB db;
    Store store(db);
    ASSERT_TRUE(db.OpenForModel(dir_.path(), u"RO"));
    std::vector<ProfileRecord> profiles;
    EXPECT_EQ(store.ListProfiles(&profiles), 1);
    EXPECT_EQ(store.InsertProfile(u"new", u""), 0);
}

TEST_F(DatabaseTest, TransactionEndsOnceAndOnDestruction) {
    SQLiteDB db;
    ASSERT_TRUE(db.OpenForModel(dir_.path(), u"T"));
    {
        SQLiteAutoTransaction t(db);
        db.Execute("INSERT INTO t_profile_data(name) VALUES ('a')");
        EXPECT_TRUE(t.End());
        EXPECT_FALSE(t.End());
    }
    {
        SQLiteAutoTransaction t(db);
        db.Execute("INSERT INTO t_profile_data(name) VALUES ('b')");
    }
    EXPECT_EQ(Query(File(u"T"), "SELECT group_concat(name) FROM t_profile_data"), "a,b");
}

} // namespace
} // namespace vantrel
