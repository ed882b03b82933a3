#include "app/core/files.h"
#include "app/core/folders.h"
#include "app/core/product.h"
#include "app/core/settings.h"
#include "app/core/startup.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace vantrel {
namespace {

using testing::TempDir;

std::string Contents(const std::filesystem::path& path) {
    std::string bytes;
    ReadFileBytes(path, &bytes);
    return bytes;
}

TEST(Settings, MissingStoreIsCreatedAndReadsZero) {
    TempDir dir;
    SettingsStore store(dir / "cfg" / "Vantrel" / "settings.ini");
    EXPECT_EQ(store.ReadLanguageId(), 0);
    EXPECT_TRUE(std::filesystem::exists(store.File()));
    EXPECT_EQ(store.ReadSetting(u"exit_mode"), 0);
    store.WriteSetting(u"exit_mode", u"2");
    store.WriteLanguageId(1034);
    EXPECT_EQ(store.ReadSetting(u"exit_mode"), 2);
    EXPECT_EQ(store.ReadLanguageId(), 1034);
    EXPECT_EQ(SettingsStore(store.File()).ReadSetting(u"EXIT_MODE"), 2); // value names ignore case
}

TEST(Settings, GarbageIsReadAsZeroAndKeptOnWrite) {
    TempDir dir;
    const std::string garbage = "\x01\x02 not ini\n[settings]\nLCID=abc\nexit_mode=\n\xFF\xFF\n";
    ASSERT_TRUE(WriteFileAtomically(dir / "settings.ini", garbage));
    SettingsStore store(dir / "settings.ini");
    EXPECT_EQ(store.ReadLanguageId(), 0);
    EXPECT_EQ(store.ReadSetting(u"exit_mode"), 0);
    store.WriteSetting(u"exit_mode", u"1");
    EXPECT_EQ(Contents(dir / "settings.ini"), "\x01\x02 not ini\n[settings]\nLCID=abc\nexit_mode=1\n\xFF\xFF\n");
}

TEST(Settings, StoreThatCannotBeOpened) {
    TempDir dir;
    // A folder where the file should be: it exists but can never be read.
    std::filesystem::create_directories(dir / "settings.ini");
    SettingsStore store(dir / "settings.ini");
    EXPECT_EQ(store.ReadLanguageId(), kDefaultLanguageId);
    EXPECT_EQ(store.ReadSetting(u"exit_mode"), 0);
    store.WriteSetting(u"exit_mode", u"2");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "settings.ini"));

    // A store that is missing and cannot be created.
    SettingsStore uncreatable(dir / "settings.ini" / "x" / "settings.ini");
    std::filesystem::permissions(dir / "settings.ini", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::geteuid() != 0) {
        EXPECT_EQ(uncreatable.ReadLanguageId(), kDefaultLanguageId);
    }

    // A missing store is not created by a write.
    SettingsStore missing(dir / "elsewhere" / "settings.ini");
    missing.WriteSetting(u"exit_mode", u"2");
    EXPECT_FALSE(std::filesystem::exists(dir / "elsewhere"));
}

TEST(Settings, WriteFollowsASymlinkedStore) {
    TempDir dir;
    ASSERT_TRUE(WriteFileAtomically(dir / "real.ini", "[settings]\n"));
    std::filesystem::create_symlink(dir / "real.ini", dir / "settings.ini");
    SettingsStore store(dir / "settings.ini");
    store.WriteSetting(u"exit_mode", u"2");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "settings.ini"));
    EXPECT_EQ(Contents(dir / "real.ini"), "[settings]\nexit_mode=2\n");
}

TEST(Startup, LanguageAtFirstStart) {
    struct Case {
        const char* name;
        const char* stored; // nullptr: no store yet
        int userDefault;
        int expected;
        const char* afterwards; // LCID value in the store afterwards, "" for none
    } cases[] = {
        {"spanish user: stored at once", nullptr, 1034, 1034, "1034"},
        {"english user: used, not stored", nullptr, 1033, 1033, ""},
        {"stored language wins", "[settings]\nLCID=1033\n", 1034, 1033, "1033"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        if (c.stored) {
            ASSERT_TRUE(WriteFileAtomically(dir / "settings.ini", c.stored));
        }
        SettingsStore store(dir / "settings.ini");
        EXPECT_EQ(ResolveLanguageId(store, c.userDefault), c.expected) << c.name;
        std::string contents = Contents(dir / "settings.ini");
        if (*c.afterwards) {
            EXPECT_NE(contents.find(std::string("LCID=") + c.afterwards), std::string::npos) << c.name;
        } else {
            EXPECT_EQ(contents.find("LCID"), std::string::npos) << c.name;
        }
    }
}

TEST(Folders, EnsureFolderCreatesEveryLevel) {
    TempDir dir;
    EXPECT_TRUE(EnsureFolder(dir / "a" / "b" / "c"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "a" / "b" / "c"));
    EXPECT_TRUE(EnsureFolder(dir / "a"));
    ASSERT_TRUE(WriteFileAtomically(dir / "file", "x"));
    EXPECT_FALSE(EnsureFolder(dir / "file" / "sub"));
}

TEST(Folders, XdgLocationsAndProductName) {
    ::setenv("XDG_DATA_HOME", "/tmp/d", 1);
    ::setenv("XDG_CONFIG_HOME", "relative/is/ignored", 1);
    ::setenv("HOME", "/home/u", 1);
    ::unsetenv("XDG_RUNTIME_DIR");
    Folders f = ResolveFolders(u"Key/Pad");
    EXPECT_EQ(f.data, std::filesystem::path("/tmp/d/Key_Pad Files"));
    EXPECT_EQ(f.config, std::filesystem::path("/home/u/.config/Key_Pad"));
    EXPECT_EQ(f.runtime, f.data);
    EXPECT_EQ(FileNameOf(u".."), "Vantrel");
}

TEST(Product, NameFromConfigFile) {
    TempDir dir;
    struct Case {
        const char* xml; // nullptr: no file
        const char16_t* expected; // nullptr: none
    } cases[] = {
        {"<config><software name=\"Keyforge \xC3\xB1\"/></config>", u"Keyforge \u00f1"},
        {nullptr, nullptr},
        {"<config><software name=\"X\"/>", nullptr}, // not well-formed
        {"<config><other name=\"X\"/></config>", nullptr},
        {"<config><software/></config>", nullptr},
        {"<config><software name=\"\"/></config>", nullptr},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(dir / "config.xml");
        if (c.xml) {
            ASSERT_TRUE(WriteFileAtomically(dir / "config.xml", c.xml));
        }
        auto name = ReadProductName(dir / "config.xml");
        if (c.expected) {
            EXPECT_EQ(name, std::u16string(c.expected));
        } else {
            EXPECT_FALSE(name) << (c.xml ? c.xml : "(missing)");
        }
    }
}

} // namespace
} // namespace vantrel
