#include "app/core/files.h"
#include "app/core/text_encoding.h"
#include "app/update/checksum.h"
#include "app/update/updates.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

namespace vantrel {
namespace {

using namespace vantrel::testing;

TEST(Updates, CompareVersions) {
    struct Case {
        const char16_t* installed;
        const char16_t* server;
        int result;
    } cases[] = {{u"1.0.9", u"1.0.10", 1}, {u"1.0", u"1.0.1", 2},  {u"1.2.0", u"1.1.9", 255},
                 {u"1.0.0", u"1.0.0", 0},  {u"1.0.x", u"1.0.1", 1}, {u"", u"", 0}};
    for (const Case& c : cases) EXPECT_EQ(CompareVersions(c.installed, c.server), c.result);
}

class FakePage : public UpdatePage {
public:
    void SetUpgradeStatus(int button) override { trace += "mark " + std::to_string(button) + "; "; }
    int ShowMessageBox(int text, int caption, int buttons) override {
        trace += "box " + std::to_string(text) + "/" + std::to_string(caption) + "/" + std::to_string(buttons) + "; ";
        return answer;
    }
    std::string trace;
    int answer = 1;
};

class FakeLauncher : public Launcher {
public:
    bool Start(const std::filesystem::path& program) override {
        started = program;
        struct stat st {};
        executable = ::stat(program.c_str(), &st) == 0 && (st.st_mode & S_IXUSR);
        return startWorks;
    }
    void ExitProgram() override { exited = true; }
    std::filesystem::path started;
    bool executable = false;
    bool startWorks = true;
    bool exited = false;
};

class UpdatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Running());
        updates_.SetSources({u"1.0.9", Utf8ToWide(server_.Url("sw/")), Utf8ToWide(server_.Url("fw/")), u"tool"});
        std::filesystem::create_directories(root_ / "sw");
        std::filesystem::create_directories(root_ / "fw");
    }
    void Serve(const std::string& path, const std::string& text) { ASSERT_TRUE(WriteFileAtomically(root_ / path, text)); }
    // A package made with the zip tool, holding `program` (and a decoy).
    void ServePackage(const std::string& path, const std::string& program, bool withChecksum) {
        TempDir work;
        ASSERT_TRUE(WriteFileAtomically(work / program, "#!/bin/sh\necho installing\n"));
        ASSERT_TRUE(WriteFileAtomically(work / "readme.txt", "read me"));
        std::string command = "cd " + work.path().string() + " && zip -q -X pkg.zip '" + program + "' readme.txt";
        ASSERT_EQ(std::system(command.c_str()), 0);
        std::filesystem::copy_file(work / "pkg.zip", root_ / path, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::remove(root_ / (path + ".sha256"));
        if (withChecksum) Serve(path + ".sha256", *Sha256OfFile(root_ / path) + "  pkg.zip\n");
    }
    std::vector<int> Drain() {
        std::vector<int> tasks;
        while (auto t = queue_.Front()) {
            tasks.push_back(*t);
            queue_.RemoveFront();
        }
        return tasks;
    }

    TempDir root_, data_, program_;
    LoopbackHttpServer server_{root_.path()};
    CurlHttpClient http_;
    FakePage page_;
    FakeLauncher launcher_;
    DeviceTaskQueue queue_;
    Updates updates_{http_, page_, launcher_, queue_, data_.path(), program_.path()};
};

TEST_F(UpdatesTest, SoftwareCheckMarksAndTellsButDownloadsNothing) {
    struct Case {
        std::string served; // empty: no version file
        bool marked;
    } cases[] = {{"1.0.10\n", true}, {"1.0.9", false}, {"", false}, {"12345678901", false},
                 {"../../x", false}, {"1.0", true}};
    for (const Case& c : cases) {
        std::filesystem::remove(root_ / "sw" / "version");
        if (!c.served.empty()) Serve("sw/version", c.served);
        page_.trace.clear();
        Updates updates(http_, page_, launcher_, queue_, data_.path(), program_.path());
        updates.SetSources({u"1.0.9", Utf8ToWide(server_.Url("sw/")), u"", u""});
        updates.CheckSoftwareUpdate();
        EXPECT_EQ(updates.SoftwareUpdateMarked(), c.marked) << c.served;
        EXPECT_EQ(page_.trace, c.marked ? "mark 241; box 180/156/0; " : "") << c.served;
        EXPECT_TRUE(queue_.Empty());
        EXPECT_TRUE(launcher_.started.empty());
    }
}

TEST_F(UpdatesTest, SoftwareButton) {
    updates_.OnSoftwareButton();
    EXPECT_EQ(page_.trace, "box 175/156/0; ");
    EXPECT_TRUE(queue_.Empty());
    Serve("sw/version", "1.1.0");
    updates_.CheckSoftwareUpdate();
    updates_.OnSoftwareButton();
    EXPECT_EQ(Drain(), std::vector<int>{kDownloadSoftware});
}

TEST_F(UpdatesTest, VerifiedPackageIsUnpackedAndStarted) {
    Serve("sw/version", "1.1.0");
    updates_.CheckSoftwareUpdate();
    ServePackage("sw/Keyboard-Software-1.1.0.zip", "Keyboard-Software-1.1.0", true);
    updates_.DownloadSoftware();
    EXPECT_EQ(launcher_.started, updates_.TempFolder() / "Keyboard-Software-1.1.0");
    EXPECT_TRUE(launcher_.executable);
    EXPECT_TRUE(launcher_.exited);
    EXPECT_FALSE(std::filesystem::exists(updates_.TempFolder() / "Keyboard-Software-1.1.0.zip"));
}

TEST_F(UpdatesTest, PackagesThatFailTheirChecksOrLackTheProgramStartNothing) {
    Serve("sw/version", "1.1.0");
    updates_.CheckSoftwareUpdate();
    page_.trace.clear();

    ServePackage("sw/Keyboard-Software-1.1.0.zip", "Keyboard-Software-1.1.0", false);
    Serve("sw/Keyboard-Software-1.1.0.zip.sha256", std::string(64, 'a') + "\n");
    updates_.DownloadSoftware();
    EXPECT_EQ(page_.trace, "box 183/156/0; ");
    EXPECT_FALSE(std::filesystem::exists(updates_.TempFolder() / "Keyboard-Software-1.1.0.zip"));

    std::filesystem::remove(root_ / "sw" / "Keyboard-Software-1.1.0.zip.sha256");
    page_.trace.clear();
    page_.answer = kSecondButton; // no checksum, and the user declines
    updates_.DownloadSoftware();
    EXPECT_EQ(page_.trace, "box 182/156/4; ");

    ServePackage("sw/Keyboard-Software-1.1.0.zip", "SomethingElse", true);
    updates_.DownloadSoftware();
    EXPECT_TRUE(std::filesystem::exists(updates_.TempFolder() / "SomethingElse"));
    EXPECT_TRUE(launcher_.started.empty());
    EXPECT_FALSE(launcher_.exited);

    page_.answer = 1; // no checksum, and the user agrees
    ServePackage("sw/Keyboard-Software-1.1.0.zip", "Keyboard-Software-1.1.0", false);
    updates_.DownloadSoftware();
    EXPECT_TRUE(launcher_.exited);
}

TEST_F(UpdatesTest, FirmwareCheckAndButton) {
    struct Case {
        const char* served;
        std::optional<uint16_t> keyboard;
        bool marked;
    } cases[] = {{"106", 0x0105, true}, {"105", 0x0105, false}, {"106", std::nullopt, false}};
    for (const Case& c : cases) {
        Serve("fw/version", c.served);
        Updates updates(http_, page_, launcher_, queue_, data_.path(), program_.path());
        updates.SetSources({u"1.0.9", u"", Utf8ToWide(server_.Url("fw/")), u""});
        updates.CheckFirmwareUpdate([&] { return c.keyboard; });
        EXPECT_EQ(updates.FirmwareUpdateMarked(), c.marked) << c.served;
        EXPECT_TRUE(queue_.Empty()) << "nothing is downloaded before the user asks";
    }
    page_.trace.clear();
    page_.answer = kSecondButton;
    updates_.OnFirmwareButton();
    EXPECT_TRUE(queue_.Empty());
    page_.answer = 1;
    updates_.OnFirmwareButton();
    EXPECT_EQ(page_.trace, "box 177/157/4; box 177/157/4; ");
    EXPECT_EQ(Drain(), std::vector<int>{kDownloadFirmwareTool});
}

TEST_F(UpdatesTest, RunFirmwareTool) {
    std::string trace;
    auto close = [&] { trace += "close "; };
    auto rescan = [&] { trace += "rescan "; };
    updates_.RunFirmwareTool(close, rescan); // no tool installed: nothing
    EXPECT_EQ(trace, "");
    std::filesystem::create_directories(program_ / "firmware");
    ASSERT_TRUE(WriteFileAtomically(program_ / "firmware" / "tool", "x"));
    updates_.RunFirmwareTool(close, rescan);
    EXPECT_EQ(trace, "close ");
    EXPECT_TRUE(launcher_.exited);
    launcher_.startWorks = false;
    launcher_.exited = false;
    trace.clear();
    updates_.RunFirmwareTool(close, rescan);
    EXPECT_EQ(trace, "close rescan ");
    EXPECT_FALSE(launcher_.exited);
}

TEST(Checksum, ParsesAndComputes) {
    EXPECT_EQ(ParseSha256File(std::string(64, 'A') + "  file.zip\n"), std::string(64, 'a'));
    EXPECT_FALSE(ParseSha256File("abc"));
    EXPECT_FALSE(ParseSha256File(std::string(65, 'a')));
    EXPECT_FALSE(ParseSha256File(""));
    TempDir dir;
    ASSERT_TRUE(WriteFileAtomically(dir / "abc", "abc"));
    EXPECT_EQ(Sha256OfFile(dir / "abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_FALSE(Sha256OfFile(dir / "missing"));
}

} // namespace
} // namespace vantrel
