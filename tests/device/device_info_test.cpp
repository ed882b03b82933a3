#include "app/core/files.h"
#include "app/device/device_info.h"
#include "app/device/hid_device_list.h"
#include "app/device/sim_backend.h"
#include "app/store/sqlite_db.h"
#include "tests/support/recording_views.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <set>

namespace vantrel {
namespace {

using testing::RecordingInfoView;
using testing::TempDir;

class DeviceInfoTest : public ::testing::Test {
protected:
    void Write(const std::string& name, const std::string& text) {
        std::filesystem::create_directories((dir_ / name).parent_path());
        ASSERT_TRUE(WriteFileAtomically(dir_ / name, text));
    }
    TempDir dir_;
    RecordingInfoView view_;
    SimulatedHid hid_;
    HidDeviceList link_{hid_};
};

TEST_F(DeviceInfoTest, ConfigurationRecords) {
    Write("config.xml", R"X(<?xml version="1.0"?>
<config>
<software name="Early" version="9"/>
<device.info>
<keyboard name="One" device_type="201" device_info="one">
<mode value="" desc="cable" vid="1A2C" pid="0x00FF" hid_interface="VID_1A2C"/>
<mode value="2" vid="0x1A2C" pid="zz" product_name="BT kb"/>
</keyboard>
<keyboard name="Twin" device_type="201" device_info="twin"/>
<keyboard name="Bare"/>
</device.info>
</config>)X");
    DeviceInfo info(dir_.path(), dir_.path(), view_, &link_, nullptr);
    info.LoadConfiguration();
    EXPECT_EQ(view_.devices, (std::vector<std::string>{"One/201", "Twin/201", "Bare/0"}));
    ASSERT_EQ(info.Modes().size(), 2u);
    const ModelRecord& cable = info.Modes()[0];
    EXPECT_EQ(cable.modeValue, 0); // empty value: cable
    EXPECT_EQ(cable.vendorId, 0x1A2C);
    EXPECT_EQ(cable.productId, 0xFF);
    EXPECT_EQ(cable.name, u"");    // no product_name: matches any product string
    EXPECT_EQ(cable.deviceType, 201);
    EXPECT_EQ(cable.deviceInfo, u"one");
    EXPECT_EQ(info.Modes()[1].productId, 0);
    EXPECT_EQ(info.Modes()[1].name, u"BT kb");
    EXPECT_EQ(info.Modes()[1].interfacePattern, u"");
    EXPECT_EQ(link_.SupportedInterfaces().size(), 2u);
    EXPECT_EQ(info.Software().version, u""); // software before device.info is not found
    EXPECT_EQ(info.Model().name, u"One");    // LoadModel(201) takes the first model of that type
}

TEST_F(DeviceInfoTest, MenuPagesAndViews) {
    Write("config.xml", R"X(<config><device.info>
<keyboard name="A" device_type="201" device_info="a"/><keyboard name="B" device_type="100" device_info="b"/>
</device.info><software name="X" version="1.2"><copyright info="(c)"/></software></config>)X");
    const std::string keys = R"X(<Keyboard xpos="10" ypos="20" width="300" height="100" image="k.png"><KeyItems>
<key code="0x04" row_col="0#0" rect="1#1#10#10"/><key code="0x05" row_col="0#1" rect="12#1#10#10"/></KeyItems></Keyboard>)X";
    Write("layouts/a.xml", R"X(<device.info><menu macro="0" light_mode="1"/><firmware version="105" file="t.bin" url="u"/>
<light rgb_keyboard="1" brightness_max="5" speed_max="4"><info name="401" mode="1" attribute="49"/>
<info name="409" mode="9" attribute="2049"/></light>)X" + keys + "</device.info>");
    Write("layouts/b.xml", R"X(<device.info><menu/><Keyboard image="b.png"><KeyItems><key code="0x29"/></KeyItems></Keyboard></device.info>)X");
    DeviceInfo info(dir_.path(), dir_.path(), view_, &link_, nullptr);
    info.LoadConfiguration();

    EXPECT_EQ(view_.version, "Ver: 1.2");
    EXPECT_EQ(view_.copyright, "(c)");
    EXPECT_EQ(info.Model().pageFlags, 0x45);
    EXPECT_EQ(view_.tabs, (std::map<int, bool>{{1, true}, {2, false}, {3, true}, {7, true}}));
    EXPECT_TRUE(view_.firmwareButton);
    EXPECT_EQ(view_.maxima, (std::pair<int, int>{5, 4}));
    ASSERT_EQ(info.Model().lightModes.size(), 2u);
    EXPECT_EQ(info.Model().lightModes[1].attribute, 2049u);
    EXPECT_EQ(view_.keys[kPageKeys], (std::vector<int>{4, 5}));
    EXPECT_EQ(view_.keys[kPageLighting], (std::vector<int>{4, 5}));
    EXPECT_EQ(view_.rects[kPageKeys], (Rect{10, 20, 310, 120}));
    EXPECT_EQ(view_.pictures[kPageTab7], "keyboard/k.png");

    // The second model has pages 0x41: its keys replace the first model's in the enabled views,
    // the lighting page's view keeps what it had.
    info.LoadModel(100);
    EXPECT_EQ(info.Model().pageFlags, 0x41);
    EXPECT_EQ(view_.keys[kPageKeys], (std::vector<int>{0x29}));
    EXPECT_EQ(view_.keys[kPageLighting], (std::vector<int>{4, 5}));
    EXPECT_EQ(info.Model().lightModes.size(), 2u); // no light element: the entries stay

    // A missing description changes nothing.
    info.LoadModel(555);
    EXPECT_EQ(info.Model().pageFlags, 0x41);
    EXPECT_EQ(info.Layout().keys.size(), 1u);
}

TEST_F(DeviceInfoTest, BrokenFilesAreSkipped) {
    struct Case {
        const char* name;
        std::string config;
    } cases[] = {{"missing", ""}, {"not xml", "\x01\x02garbage"}, {"unended", "<config><device.info><keyboard name='A'"}};
    for (const Case& c : cases) {
        std::filesystem::remove(dir_ / "config.xml");
        if (!c.config.empty()) Write("config.xml", c.config);
        RecordingInfoView view;
        DeviceInfo info(dir_.path(), dir_.path(), view, nullptr, nullptr);
        info.LoadConfiguration();
        EXPECT_TRUE(info.Models().empty()) << c.name;
        EXPECT_EQ(info.Model().deviceType, 201) << c.name;
        EXPECT_EQ(info.Model().name, u"") << c.name;
        EXPECT_EQ(info.Model().pageFlags, kAllPages) << c.name;
    }
}

TEST_F(DeviceInfoTest, ThousandsOfOddKeysStayInBounds) {
    Write("config.xml", "<config><device.info><keyboard name='A' device_type='201' device_info='a'/></device.info></config>");
    std::string keys;
    for (int i = 0; i < 3000; ++i)
        keys += "<key code='" + std::to_string(i % 7 == 0 ? 4 : i) + "' key_index='" + std::to_string(i * 1000) +
                "' row_col='" + std::to_string(i) + "#" + std::to_string(i) + "' rect='" + (i % 2 ? "1#2" : "x") + "'/>";
    Write("layouts/a.xml", "<device.info><Keyboard><KeyItems>" + keys + "</KeyItems></Keyboard></device.info>");
    DeviceInfo info(dir_.path(), dir_.path(), view_, nullptr, nullptr);
    info.LoadConfiguration();
    EXPECT_EQ(info.Layout().keys.size(), 3000u);
    EXPECT_EQ(view_.keys[kPageKeys].size(), 3000u);
}

TEST_F(DeviceInfoTest, LoadModelOpensTheModelsDatabase) {
    Write("config.xml", "<config><device.info><keyboard name='Deck 75' device_type='201' device_info='a'/>"
                        "<keyboard name='Other' device_type='100'/></device.info></config>");
    std::filesystem::create_directories(dir_ / "data" / "db");
    SQLiteDB db;
    DeviceInfo info(dir_.path(), dir_ / "data", view_, nullptr, &db);
    info.LoadConfiguration();
    EXPECT_TRUE(db.Opened());
    EXPECT_TRUE(std::filesystem::exists(dir_ / "data" / "db" / "Deck 75_data_v3.db"));
    info.LoadModel(100);
    EXPECT_EQ(db.ModelType(), 100);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "data" / "db" / "Other_data_v3.db"));
}

// The files we ship: both models load completely and describe sane keyboards.
TEST(ShippedData, BothModelsLoad) {
    const std::filesystem::path data = std::filesystem::path(VANTREL_SOURCE_DIR) / "data";
    RecordingInfoView view;
    SimulatedHid hid;
    HidDeviceList link(hid);
    DeviceInfo info(data, data, view, &link, nullptr);
    info.LoadConfiguration();
    ASSERT_EQ(info.Models().size(), 2u);
    EXPECT_EQ(info.Modes().size(), 4u);
    struct Expect {
        int type;
        size_t keys;
        KeyboardFamily family;
    } models[] = {{100, 104, KeyboardFamily::kA}, {201, 87, KeyboardFamily::kB}};
    for (const Expect& m : models) {
        info.LoadModel(m.type);
        const KeyLayout& layout = info.Layout();
        EXPECT_EQ(FamilyForDeviceType(m.type), m.family);
        ASSERT_EQ(layout.keys.size(), m.keys) << m.type;
        std::set<int> codes, indexes;
        unsigned capabilities = 0;
        for (const auto& mode : info.Model().lightModes) capabilities |= mode.attribute;
        for (const KeyLayoutItem& k : layout.keys) {
            codes.insert(k.code);
            indexes.insert(k.keyIndex);
            EXPECT_LT(k.keyIndex, 110);
            EXPECT_LT(k.lightIndex, 110);
            EXPECT_FALSE(k.desc.empty());
            EXPECT_GT(k.rect.right, k.rect.left);
            EXPECT_LE(k.rect.right, layout.width);
            EXPECT_LE(k.rect.bottom, layout.height);
            EXPECT_TRUE(k.row >= 0 && k.row < layout.rowCount && k.column >= 0 && k.column < layout.colCount);
        }
        EXPECT_EQ(codes.size(), m.keys) << "duplicate key codes";
        EXPECT_EQ(indexes.size(), m.keys) << "duplicate key positions";
        EXPECT_TRUE(codes.count(175)) << "the Fn key";
        if (m.family == KeyboardFamily::kA) {
            EXPECT_EQ(capabilities & 0xF00, 0xF00u);
        }
    }
}

} // namespace
} // namespace vantrel
