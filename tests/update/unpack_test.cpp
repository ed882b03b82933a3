#include "app/core/files.h"
#include "app/update/unpack.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

namespace vantrel {
namespace {

using testing::TempDir;

TEST(Unpack, CleansEntryNames) {
    struct Case {
        const char* name;
        const char* clean;
    } cases[] = {
        {"C:\\x\\..\\..\\evil.exe", "evil.exe"},
        {"/a/b.txt", "a/b.txt"},
        {"../../escape", "escape"},
        {"..\\..\\escape", "escape"},
        {"a/../../b", "b"},
        {"a\\b\\c.txt", "a/b/c.txt"},
        {"./a//b", "a/b"},
        {"..", ""},
        {"a/..", ""},   // a parent step left at the end is refused, not followed
        {"/", ""},
        {"C:", ""},
        {"dir/", "dir"},
    };
    for (const Case& c : cases) EXPECT_EQ(CleanEntryName(c.name), c.clean) << c.name;
}

class UnpackTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        archives_ = new TempDir;
        std::string command = "python3 " + std::string(VANTREL_SOURCE_DIR) + "/tests/update/make_archives.py " +
                              archives_->path().string();
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    static void TearDownTestSuite() { delete archives_; }
    static std::filesystem::path Archive(const char* name) { return archives_->path() / name; }
    static std::string Contents(const std::filesystem::path& p) {
        std::string s;
        ReadFileBytes(p, &s);
        return s;
    }
    static TempDir* archives_;
    TempDir out_;
};
TempDir* UnpackTest::archives_ = nullptr;

TEST_F(UnpackTest, HostileNamesStayInsideTheFolder) {
    UnpackReport report;
    ASSERT_TRUE(UnpackArchive(Archive("hostile.zip"), out_.path(), &report));
    EXPECT_EQ(Contents(out_ / "evil"), "evil");
    EXPECT_EQ(Contents(out_ / "a" / "b.txt"), "b");
    EXPECT_EQ(Contents(out_ / "escape"), "escape");
    EXPECT_EQ(Contents(out_ / "dir" / "inner.txt"), "inner");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(out_ / "link")));
    ASSERT_EQ(report.refused.size(), 2u); // the link and ".."
    EXPECT_NE(report.refused[0].find("symbolic link"), std::string::npos);
    // Nothing was written next to the folder.
    EXPECT_FALSE(std::filesystem::exists(out_.path().parent_path() / "escape"));
    // The entry's time is kept.
    struct stat st {};
    ASSERT_EQ(::stat((out_ / "ok.txt").c_str(), &st), 0);
    std::tm tm{};
    localtime_r(&st.st_mtime, &tm);
    EXPECT_EQ(tm.tm_year + 1900, 2024);
    EXPECT_EQ(tm.tm_mon + 1, 5);

    // A second unpack overwrites.
    ASSERT_TRUE(WriteFileAtomically(out_ / "ok.txt", "old"));
    ASSERT_TRUE(UnpackArchive(Archive("hostile.zip"), out_.path()));
    EXPECT_EQ(Contents(out_ / "ok.txt").substr(0, 5), "fine ");
}

TEST_F(UnpackTest, NeverWritesThroughALink) {
    TempDir outside;
    std::filesystem::create_directory_symlink(outside.path(), out_ / "a");
    std::filesystem::create_symlink(outside / "target", out_ / "evil");
    UnpackReport report;
    ASSERT_TRUE(UnpackArchive(Archive("through_link.zip"), out_.path(), &report));
    EXPECT_TRUE(std::filesystem::is_empty(outside.path()));
    EXPECT_EQ(report.refused.size(), 2u);
}

TEST_F(UnpackTest, BombsAreRefusedBeforeAnythingIsWritten) {
    UnpackReport report;
    UnpackLimits small;
    small.maxTotalBytes = 10 * 1024 * 1024;
    EXPECT_FALSE(UnpackArchive(Archive("bomb.zip"), out_.path(), &report, small));
    EXPECT_TRUE(report.tooLarge);
    EXPECT_TRUE(std::filesystem::is_empty(out_.path()));

    UnpackReport many;
    EXPECT_FALSE(UnpackArchive(Archive("many.zip"), out_.path(), &many)); // 10,001 entries
    EXPECT_TRUE(many.tooLarge);
    EXPECT_TRUE(std::filesystem::is_empty(out_.path()));

    EXPECT_TRUE(UnpackArchive(Archive("bomb.zip"), out_.path())); // within the real limit
    EXPECT_EQ(std::filesystem::file_size(out_ / "zeros.bin"), 20u * 1024 * 1024);
}

TEST_F(UnpackTest, NotAZipOrNotThere) {
    ASSERT_TRUE(WriteFileAtomically(out_ / "page.zip", "<html>404</html>"));
    EXPECT_TRUE(UnpackArchive(out_ / "page.zip", out_ / "x")); // nothing to unpack
    EXPECT_FALSE(std::filesystem::exists(out_ / "x"));
    EXPECT_FALSE(UnpackArchive(out_ / "missing.zip", out_.path()));
}

} // namespace
} // namespace vantrel
