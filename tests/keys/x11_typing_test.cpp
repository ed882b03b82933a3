#include "app/core/text_encoding.h"
#include "app/keys/host_actions.h"

#include "tests/support/x11_clipboard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace vantrel {
namespace {

TEST(X11Typing, TheTextIsOnTheClipboardWhileTyping) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no X display (scripts/test starts Xvfb)";
    auto paste = std::async(std::launch::async, testing::PasteFromClipboard);
    DesktopHostPlatform platform;
    EXPECT_TRUE(platform.TypeText(u"h\u00e9llo \U0001F600"));
    EXPECT_EQ(paste.get(), "h\xC3\xA9llo \xF0\x9F\x98\x80");
    EXPECT_FALSE(testing::ClipboardHasOwner()); // emptied again afterwards
}

} // namespace
} // namespace vantrel
