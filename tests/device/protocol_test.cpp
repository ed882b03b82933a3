#include "app/device/protocol.h"
#include "tests/support/sim_models.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace vantrel {
namespace {

using namespace vantrel::testing;
using std::chrono::milliseconds;

class ProtocolTest : public ::testing::Test {
protected:
    void Connect(const SimKeyboardSpec& spec, int mode, int model) {
        kb_ = hid_.AddKeyboard(spec);
        hid_.Plug(kb_, mode);
        AddShippedInterfaces(link_);
        Scan(link_, model);
    }
    std::vector<SimReport> Reports() {
        return hid_.With(kb_, [](SimKeyboard& k) { return k.Reports(); });
    }
    SimulatedHid hid_;
    HidDeviceList link_{hid_};
    int kb_ = -1;
};

TEST_F(ProtocolTest, ReadAssignmentSlotsReturnsTheKeyboardsTable) {
    Connect(FamilyBSpec(), 0, kFamilyBType);
    hid_.With(kb_, [](SimKeyboard& k) {
        k.MutableB().complexSlots[4][2] = 0x1E;
        k.MutableB().simpleKeys[3] = 0x04;
        k.MutableB().simpleKeys[10] = 0x29;
    });
    SlotTable table;
    ASSERT_TRUE(ReadAssignmentSlots(link_, &table));
    EXPECT_EQ(table[4], 0x1E);
    EXPECT_EQ(table[16], 0x04);
    EXPECT_EQ(table[23], 0x29);
    const auto reports = Reports();
    ASSERT_EQ(reports.size(), 5u); // the request, then four reads
    EXPECT_EQ(reports[0].bytes, (std::vector<uint8_t>{0x07, 0xFB, 0x01, 0, 0, 0, 0, 0}));
    for (size_t i = 1; i < 5; ++i) {
        EXPECT_EQ(reports[i].kind, SimReport::kFeatureIn);
        EXPECT_GE(reports[i].time - reports[i - 1].time, milliseconds(16));
    }
}

TEST_F(ProtocolTest, SilentKeyboardLeavesTheRequestInTheTable) {
    Connect(FamilyBSpec(), 0, kFamilyBType);
    hid_.With(kb_, [](SimKeyboard& k) { k.Faults().featureSilent = true; });
    SlotTable table;
    ASSERT_TRUE(ReadAssignmentSlots(link_, &table));
    EXPECT_EQ(std::vector<uint8_t>(table.begin(), table.begin() + 7),
              (std::vector<uint8_t>{0x07, 0xFB, 0x01, 0, 0, 0, 0}));
}

TEST_F(ProtocolTest, FirmwareVersion) {
    Connect(FamilyBSpec(), 0, kFamilyBType);
    uint16_t version = 0;
    ASSERT_TRUE(ReadFirmwareVersion(link_, &version));
    EXPECT_EQ(version, 0x0105);
    EXPECT_EQ(FirmwareVersionNumber(version), 105);
    EXPECT_EQ(FirmwareVersionNumber(0x0230), 230);

    // A reply with the wrong report id is read once more, and taken as it comes.
    hid_.With(kb_, [](SimKeyboard& k) {
        k.Faults().wrongReportId = true;
        k.MutableB().firmwareVersion = 0x0201;
        k.ClearReports();
    });
    ASSERT_TRUE(ReadFirmwareVersion(link_, &version));
    EXPECT_EQ(version, 0x0201);
    const auto reports = Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_GE(reports[2].time - reports[1].time, milliseconds(16));

    hid_.With(kb_, [](SimKeyboard& k) { k.Faults().failWrites = -1; });
    EXPECT_FALSE(ReadFirmwareVersion(link_, &version)); // the request could not be sent
}

TEST_F(ProtocolTest, NothingWithoutAnInterface) {
    SlotTable table;
    uint16_t version;
    EXPECT_FALSE(ReadAssignmentSlots(link_, &table));
    EXPECT_FALSE(ReadFirmwareVersion(link_, &version));
}

TEST_F(ProtocolTest, FactoryResetOfEachFamilyAndConnection) {
    struct Case {
        const char* name;
        SimKeyboardSpec spec;
        int mode, model, kind;
        size_t reports;
        milliseconds between; // at least this between the last two reports
        milliseconds after;   // the reset returns no sooner than this after its last report
    } cases[] = {
        {"family A", FamilyASpec(), 0, kFamilyAType, 0, 1, milliseconds(0), milliseconds(100)},
        {"family B cable", FamilyBSpec(), 0, kFamilyBType, 0, 1, milliseconds(0), milliseconds(100)},
        {"family B receiver", FamilyBSpec(), 1, kFamilyBType, 1, 2, milliseconds(1600), milliseconds(0)},
    };
    for (const Case& c : cases) {
        SimulatedHid hid;
        HidDeviceList link(hid);
        AddShippedInterfaces(link);
        int kb = hid.AddKeyboard(c.spec);
        hid.Plug(kb, c.mode);
        Scan(link, c.model);
        hid.With(kb, [](SimKeyboard& k) { k.MutableB().simpleKeys[1] = 0x04; });
        SendFactoryReset(link, FamilyForDeviceType(c.model), c.kind);
        auto end = std::chrono::steady_clock::now();
        hid.With(kb, [&](SimKeyboard& k) {
            ASSERT_EQ(k.Reports().size(), c.reports) << c.name;
            EXPECT_EQ(k.Family() == KeyboardFamily::kA ? k.A().resets : k.B().resets, 1) << c.name;
            EXPECT_EQ(k.B().simpleKeys[1], k.Family() == KeyboardFamily::kA ? 0x04 : 0x00) << c.name;
            const auto& r = k.Reports();
            if (r.size() == 2) {
                EXPECT_GE(r[1].time - r[0].time, c.between) << c.name;
            }
            EXPECT_GE(end - r.back().time, c.after) << c.name;
        });
    }
}

TEST(SimKeyboard, StatePersistsAcrossPowerCycles) {
    SimKeyboard k(KeyboardFamily::kB);
    k.MutableB().simpleKeys[2] = 0x05;
    k.MutableB().complexSlots[7][2] = 0x1E;
    const auto file = std::filesystem::temp_directory_path() / ("vantrel-sim-" + std::to_string(::getpid()));
    ASSERT_TRUE(k.Save(file));
    SimKeyboard again(KeyboardFamily::kB);
    ASSERT_TRUE(again.Load(file));
    std::filesystem::remove(file);
    EXPECT_EQ(again.SlotTable(), k.SlotTable());
}

} // namespace
} // namespace vantrel
