#include "app/device/hid_device_list.h"
#include "app/device/sim_backend.h"
#include "tests/support/sim_models.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace vantrel {
namespace {

using namespace vantrel::testing;
using std::chrono::milliseconds;

class HidDeviceListTest : public ::testing::Test {
protected:
    void SetUp() override { AddShippedInterfaces(link_); }
    // Output report with a recognisable first byte.
    static std::array<uint8_t, 65> Report(uint8_t command) {
        std::array<uint8_t, 65> r{};
        r[1] = command;
        return r;
    }
    SimulatedHid hid_;
    HidDeviceList link_{hid_};
};

TEST_F(HidDeviceListTest, OpensOnlyTheVendorCollectionAndTheStreamingInterface) {
    int a = hid_.AddKeyboard(FamilyASpec());
    hid_.Plug(a, 0);
    SimKeyboardSpec stranger; // same vendor, unconfigured product
    stranger.productIds[0] = 0x000F;
    hid_.Plug(hid_.AddKeyboard(stranger), 0);
    Scan(link_, 0);
    EXPECT_EQ(link_.OpenedCount(), 1); // the keyboard and usage-2 collections were closed again
    EXPECT_TRUE(link_.HasStreamingInterface());
    std::vector<int> types;
    ASSERT_TRUE(link_.CollectModelInterfaces(&types));
    EXPECT_EQ(types, (std::vector<int>{kFamilyAType}));
}

TEST_F(HidDeviceListTest, SelectionAndConnectionKind) {
    struct Case {
        const char* name;
        bool modes[3];
        int kind;
        int selectedMode; // which connection carries traffic, -1 none
    } cases[] = {
        {"cable and receiver", {true, true, false}, 0, 0},
        {"receiver and bluetooth", {false, true, true}, 2, 1},
        {"bluetooth only", {false, false, true}, 2, 2},
        {"receiver only", {false, true, false}, 1, 1},
        {"nothing", {false, false, false}, -1, -1},
    };
    for (const Case& c : cases) {
        SimulatedHid hid;
        HidDeviceList link(hid);
        AddShippedInterfaces(link);
        int b = hid.AddKeyboard(FamilyBSpec());
        for (int m = 0; m < 3; ++m)
            if (c.modes[m]) hid.Plug(b, m);
        Scan(link, kFamilyBType);
        EXPECT_EQ(link.ConnectionKind(), c.kind) << c.name;
        uint8_t probe[8] = {0x07, 0x23, 0x45, 0x67, 0x89, 1, 2, 3};
        EXPECT_EQ(link.SendFeature8(probe), c.selectedMode >= 0) << c.name;
        if (c.selectedMode >= 0) {
            hid.With(b, [&](SimKeyboard& k) { EXPECT_EQ(k.Reports().back().mode, c.selectedMode) << c.name; });
        }
    }
}

TEST_F(HidDeviceListTest, TwoIdenticalKeyboardsTrafficGoesToTheFirst) {
    int first = hid_.AddKeyboard(FamilyASpec()), second = hid_.AddKeyboard(FamilyASpec());
    hid_.Plug(first, 0);
    hid_.Plug(second, 0);
    Scan(link_, kFamilyAType);
    EXPECT_EQ(link_.OpenedCount(), 2);
    auto r = Report(0x88);
    ASSERT_TRUE(link_.WriteOutput65(r.data()));
    EXPECT_EQ(hid_.With(first, [](SimKeyboard& k) { return k.Reports().size(); }), 1u);
    EXPECT_EQ(hid_.With(second, [](SimKeyboard& k) { return k.Reports().size(); }), 0u);
}

TEST_F(HidDeviceListTest, WithoutKeyboardEverythingFailsAtOnce) {
    auto before = std::chrono::steady_clock::now();
    auto r = Report(0x88);
    uint8_t feature[8] = {0x07};
    EXPECT_FALSE(link_.WriteOutput65(r.data())); // not even scanned
    Scan(link_, kFamilyAType);
    EXPECT_FALSE(link_.WriteOutput65(r.data()));
    EXPECT_FALSE(link_.WriteStreamOutput65(r.data()));
    EXPECT_FALSE(link_.WriteOutput64(r.data() + 1));
    EXPECT_FALSE(link_.SendFeature8(feature));
    EXPECT_LT(link_.GetFeature8(feature), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - before, milliseconds(10)); // no pause taken
}

TEST_F(HidDeviceListTest, RetriesOnceAfterItsPause) {
    int a = hid_.AddKeyboard(FamilyASpec());
    hid_.Plug(a, 0);
    Scan(link_, kFamilyAType);
    auto r = Report(0x88);

    hid_.With(a, [](SimKeyboard& k) { k.Faults().failWrites = 1; });
    auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(link_.WriteOutput65(r.data()));
    EXPECT_GE(std::chrono::steady_clock::now() - before, milliseconds(10));

    EXPECT_EQ(link_.FailedWrites(), 0u); // a write that worked on its retry is no failure
    hid_.With(a, [](SimKeyboard& k) { k.Faults().failWrites = 2; });
    EXPECT_FALSE(link_.WriteOutput65(r.data()));
    EXPECT_EQ(link_.FailedWrites(), 1u);
    hid_.With(a, [](SimKeyboard& k) { k.Faults().failWrites = 2; });
    EXPECT_TRUE(link_.WriteStreamOutput65(r.data())); // a lost live frame is not a failure

    hid_.With(a, [](SimKeyboard& k) { k.Faults().failWrites = 1; });
    before = std::chrono::steady_clock::now();
    uint8_t payload[64] = {0xBB, 0xAA, 0x99, 0x88};
    EXPECT_TRUE(link_.WriteOutput64(payload));
    EXPECT_GE(std::chrono::steady_clock::now() - before, milliseconds(32));
    hid_.With(a, [](SimKeyboard& k) {
        const auto& last = k.Reports().back().bytes;
        ASSERT_EQ(last.size(), 65u);
        EXPECT_EQ(last[0], 0x00);
        EXPECT_EQ(last[1], 0xBB);
    });
}

TEST_F(HidDeviceListTest, WrongReportIdIsPassedOn) {
    int b = hid_.AddKeyboard(FamilyBSpec());
    hid_.Plug(b, 0);
    Scan(link_, kFamilyBType);
    hid_.With(b, [](SimKeyboard& k) { k.Faults().wrongReportId = true; });
    uint8_t reply[8] = {0x07, 0xFD};
    EXPECT_EQ(link_.GetFeature8(reply), 8);
    EXPECT_EQ(reply[0], 0x08);
}

TEST_F(HidDeviceListTest, PermissionDeniedIsRemembered) {
    int b = hid_.AddKeyboard(FamilyBSpec());
    hid_.Plug(b, 0);
    hid_.DenyOpen(b, true);
    Scan(link_, 0);
    EXPECT_EQ(link_.OpenedCount(), 0);
    ASSERT_EQ(link_.Inaccessible().size(), 3u); // its three collections
    EXPECT_EQ(link_.Inaccessible()[0].productId, 0x0002);
    hid_.DenyOpen(b, false);
    Scan(link_, 0);
    EXPECT_TRUE(link_.Inaccessible().empty());
}

TEST_F(HidDeviceListTest, KeyboardVanishingMidTransfer) {
    int a = hid_.AddKeyboard(FamilyASpec());
    hid_.Plug(a, 0);
    Scan(link_, kFamilyAType);
    hid_.With(a, [](SimKeyboard& k) { k.Faults().vanishAfter = 2; });
    auto r = Report(0x8B);
    EXPECT_TRUE(link_.WriteOutput65(r.data()));
    EXPECT_TRUE(link_.WriteOutput65(r.data()));
    EXPECT_FALSE(link_.WriteOutput65(r.data()));
    Scan(link_, kFamilyAType); // the next scan finds it gone
    EXPECT_EQ(link_.OpenedCount(), 0);
    hid_.Unplug(a, 0);
    hid_.Plug(a, 0);
    Scan(link_, kFamilyAType);
    EXPECT_EQ(link_.OpenedCount(), 1);
}

// The level-capture thread and the UI thread send while the worker rescans, closing and
// reopening the devices under them.
TEST_F(HidDeviceListTest, ThreeThreadsNeverUseAClosedDevice) {
    int b = hid_.AddKeyboard(FamilyBSpec());
    hid_.Plug(b, 0);
    Scan(link_, kFamilyBType);
    std::atomic<bool> stop{false};
    auto sender = [&](uint8_t command) {
        uint8_t report[8] = {0x07, command, 0x45, 0x67, 0x89};
        while (!stop) {
            link_.SendFeature8(report);
            std::this_thread::yield();
        }
    };
    std::thread level(sender, 0x23), ui(sender, 0xF7);
    for (int i = 0; i < 200; ++i) Scan(link_, kFamilyBType);
    stop = true;
    level.join();
    ui.join();
    EXPECT_EQ(link_.OpenedCount(), 1);
}

} // namespace
} // namespace vantrel
