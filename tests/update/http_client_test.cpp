#include "app/core/files.h"
#include "app/update/http_client.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using namespace vantrel::testing;

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFileAtomically(root_ / "version", "1.0.10\n"));
        ASSERT_TRUE(WriteFileAtomically(root_ / "big.bin", std::string(300000, 'x')));
        ASSERT_TRUE(server_.Running());
    }
    TempDir root_;
    LoopbackHttpServer server_{root_.path()};
    HttpTimeouts quick_{std::chrono::seconds(2), std::chrono::seconds(1)};
    CurlHttpClient http_{quick_};
};

TEST_F(HttpClientTest, FetchText) {
    struct Case {
        std::string url;
        int result;
        const char* text;
    } cases[] = {
        {server_.Url("version"), 1, "1.0.10\n"},
        {server_.Url("redirect/version"), 1, "1.0.10\n"},
        {server_.Url("missing"), -1, ""},         // a 404 page is not a version
        {server_.Url("loop"), -1, ""},            // redirects are followed within reason
        {server_.Url("big.bin"), -1, ""},         // far too long for a version text
        {"http://127.0.0.1:9/version", -1, ""},   // nobody listens
        {"file:///etc/hostname", -1, ""},         // only http and https
    };
    for (const Case& c : cases) {
        std::string text;
        EXPECT_EQ(http_.FetchText(c.url, &text), c.result) << c.url;
        EXPECT_EQ(text, c.text) << c.url;
    }
}

TEST_F(HttpClientTest, ADeadServerIsGivenUp) {
    auto before = std::chrono::steady_clock::now();
    std::string text;
    EXPECT_EQ(http_.FetchText(server_.Url("hang"), &text), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(10));
}

TEST_F(HttpClientTest, DownloadFile) {
    std::vector<int> progress;
    const auto target = root_ / "copy.bin";
    ASSERT_EQ(http_.DownloadFile(server_.Url("big.bin"), target, [&](int p) { progress.push_back(p); }), 1);
    EXPECT_EQ(std::filesystem::file_size(target), 300000u);
    ASSERT_GE(progress.size(), 5u);
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));

    EXPECT_EQ(http_.DownloadFile(server_.Url("missing"), target, nullptr), -1);
    EXPECT_FALSE(std::filesystem::exists(target)); // no half file left
    EXPECT_EQ(http_.DownloadFile(server_.Url("big.bin"), root_ / "no" / "folder.bin", nullptr), -1);
}

} // namespace
} // namespace vantrel
