#include "app/core/single_instance.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>

namespace vantrel {
namespace {

using testing::TempDir;

TEST(SingleInstance, SecondStartHandsOverToTheFirst) {
    TempDir dir;
    std::atomic<int> raises{0};
    {
        SingleInstance first(dir.path(), "Vantrel");
        ASSERT_EQ(first.Acquire([&](const std::string& request) {
            if (request == "raise") ++raises;
            return std::string("ok ") + request;
        }),
                  SingleInstance::Claim::kFirst);

        SingleInstance second(dir.path(), "Vantrel");
        EXPECT_EQ(second.Acquire(nullptr), SingleInstance::Claim::kHandedOver);
        EXPECT_EQ(raises.load(), 1);

        // Another product is another instance.
        SingleInstance other(dir.path(), "Other");
        EXPECT_EQ(other.Acquire(nullptr), SingleInstance::Claim::kFirst);

        EXPECT_EQ(SingleInstance::Send(first.SocketPath(), "message 1691 0 610"), "ok message 1691 0 610");
    }
    // The first instance ended: the next start is the instance again, despite the old files.
    SingleInstance again(dir.path(), "Vantrel");
    EXPECT_EQ(again.Acquire(nullptr), SingleInstance::Claim::kFirst);
    EXPECT_EQ(SingleInstance::Send(again.SocketPath(), "raise"), "error no handler");
}

TEST(SingleInstance, NoRuntimeFolder) {
    TempDir dir;
    SingleInstance instance(dir / "missing", "Vantrel");
    EXPECT_EQ(instance.Acquire(nullptr), SingleInstance::Claim::kUnavailable);
    EXPECT_FALSE(SingleInstance::Send(dir / "missing" / "Vantrel.sock", "raise"));
}

} // namespace
} // namespace vantrel
