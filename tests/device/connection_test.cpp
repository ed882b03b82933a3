#include "app/core/files.h"
#include "app/device/connection.h"
#include "app/device/sim_backend.h"
#include "tests/support/recording_views.h"
#include "tests/support/sim_models.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using namespace vantrel::testing;

class RecordingHooks : public SyncHooks {
public:
    void ReloadMacroList() override { trace += "macros "; }
    void ReconcileKeyFunctions(const SlotTable& t) override { trace += "reconcile:" + std::to_string(t[14]) + " "; }
    void ReloadProfileList() override { trace += "profiles "; }
    void ReloadLightingPage() override { trace += "lighting "; }
    void LoadMusicLayers() override { trace += "music "; }
    std::string trace;
};

// The shipped configuration, the simulator and the connection, as the program wires them.
class ConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_ / "language");
        ASSERT_TRUE(WriteFileAtomically(dir_ / "language" / "1033.lan", "[KB.DIALOG]\n51=Keyboard\n60=Found\n61=None\n"));
        std::filesystem::copy(std::filesystem::path(VANTREL_SOURCE_DIR) / "data" / "config.xml", dir_ / "config.xml");
        std::filesystem::copy(std::filesystem::path(VANTREL_SOURCE_DIR) / "data" / "layouts", dir_ / "layouts");
        info_.LoadConfiguration();
        keyboard_ = hid_.AddKeyboard(FamilyBSpec());
    }
    std::vector<int> Drain() {
        std::vector<int> tasks;
        while (auto t = queue_.Front()) {
            tasks.push_back(*t);
            queue_.RemoveFront();
        }
        return tasks;
    }
    void ScanAndApply() {
        connection_.ScanDevices();
        connection_.ApplyConnectionState();
    }

    TempDir dir_;
    SimulatedHid hid_;
    HidDeviceList link_{hid_};
    RecordingInfoView infoView_;
    DeviceInfo info_{dir_.path(), dir_.path(), infoView_, &link_, nullptr};
    WorkerState state_;
    DeviceTaskQueue queue_;
    LanguageTexts texts_{dir_ / "language", 1033};
    RecordingConnectionView view_;
    RecordingHooks hooks_;
    Connection connection_{link_, info_, state_, queue_, texts_, view_, hooks_};
    int keyboard_ = -1;
};

TEST_F(ConnectionTest, NoticesQueueScansOnlyForConfiguredConnections) {
    struct Case {
        const char* name;
        bool arrival;
        std::string path;
        std::vector<int> tasks;
    } cases[] = {
        {"our receiver arrives", true, "/sys/devices/usb1/1-2/0003:1209:0003.000A/hidraw/hidraw4", {kDeviceArrived}},
        {"lower-case path", true, "/sys/devices/usb1/0003:1209:0002.000b/hidraw/hidraw5", {kDeviceArrived}},
        {"unrelated device", true, "/sys/devices/usb1/0003:046D:C52B.0001/hidraw/hidraw0", {}},
        {"bluetooth LE", true, "/sys/devices/virtual/misc/uhid/{00001812-0000-1000-8000-00805f9b34fb}/0005:1209:0004.0001", {}},
        {"removal of a connection never found", false, "/sys/devices/usb1/0003:1209:0003.000A/hidraw/hidraw4", {}},
    };
    for (const Case& c : cases) {
        connection_.OnDeviceChange(c.arrival, c.path);
        EXPECT_EQ(Drain(), c.tasks) << c.name;
    }
}

TEST_F(ConnectionTest, EmptyPatternMatchesEveryArrival) {
    info_.Modes()[0].interfacePattern.clear();
    connection_.OnDeviceChange(true, "/sys/devices/usb1/0003:046D:C52B.0001/hidraw/hidraw0");
    EXPECT_EQ(Drain(), std::vector<int>{kDeviceArrived});
}

TEST_F(ConnectionTest, ReceiverUnpluggedWhileCabledStaysConnectedOnCable) {
    hid_.SetNoticeHandler([this](bool arrival, const std::string& path) { connection_.OnDeviceChange(arrival, path); });
    hid_.Plug(keyboard_, 1);
    EXPECT_EQ(Drain(), std::vector<int>{kDeviceArrived});
    ScanAndApply();
    EXPECT_TRUE(connection_.DeviceFound());
    EXPECT_EQ(connection_.ConnectionKind(), 1);
    EXPECT_EQ(info_.Model().pageFlags, 0x44); // keys and macros off on wireless
    EXPECT_EQ(view_.Trace(),
              "close-windows, status Found, hide-tab 1, hide-tab 2, select-tab 0, show-tab 3, show-tab 4, "
              "settings-button, connected Keyboard icon/icon_keyboard.png, select-tab 3");
    EXPECT_EQ(Drain(), (std::vector<int>{kCheckFirmwareUpdate, kSyncDevice}));
    connection_.SyncDevice();
    EXPECT_EQ(hooks_.trace, "lighting music "); // only lighting on a wireless connection

    hid_.Plug(keyboard_, 0);
    Drain();
    ScanAndApply();
    EXPECT_EQ(connection_.ConnectionKind(), 0);
    Drain();
    hid_.Unplug(keyboard_, 1);
    EXPECT_EQ(Drain(), std::vector<int>{kDeviceRemoved});
    ScanAndApply();
    EXPECT_EQ(connection_.ConnectionKind(), 0);
    EXPECT_EQ(info_.Model().pageFlags, 0x47);
    EXPECT_NE(view_.Trace().find("show-tab 1, show-tab 2, select-tab 1"), std::string::npos);
    EXPECT_EQ(view_.connected, std::set<int>{201});

    hooks_.trace.clear();
    hid_.With(keyboard_, [](SimKeyboard& k) { k.MutableB().simpleKeys[1] = 0x04; });
    connection_.SyncDevice();
    EXPECT_EQ(hooks_.trace, "macros reconcile:4 profiles lighting music ");

    hid_.Unplug(keyboard_, 0);
    ScanAndApply();
    EXPECT_FALSE(connection_.DeviceFound());
    EXPECT_EQ(view_.Trace(), "close-windows, status None, select-tab 0, disconnected");
}

TEST_F(ConnectionTest, FactoryResetOverTheReceiverThenReloads) {
    hid_.Plug(keyboard_, 1);
    ScanAndApply();
    connection_.FactoryReset();
    EXPECT_EQ(hid_.With(keyboard_, [](SimKeyboard& k) { return k.B().resets; }), 1);
    EXPECT_EQ(hooks_.trace, "macros profiles lighting ");
}

} // namespace
} // namespace vantrel
