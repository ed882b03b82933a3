#include "app/device/device_info.h"

#include "app/core/text_encoding.h"
#include "app/device/hid_device_list.h"
#include "app/device/xml_document.h"
#include "app/store/sqlite_db.h"

namespace vantrel {
namespace {

// The keyboard views of the enabled pages, in the order they are updated.
constexpr int kViews[] = {kPageKeys, kPageLighting, kPageTab7};

} // namespace

DeviceInfo::DeviceInfo(std::filesystem::path resources, std::filesystem::path dataFolder, DeviceInfoView& view,
                       HidDeviceList* link, SQLiteDB* db)
    : resources_(std::move(resources)), dataFolder_(std::move(dataFolder)), view_(view), link_(link), db_(db) {}

void DeviceInfo::LoadConfiguration() {
    models_.clear();
    modes_.clear();
    XmlDocument doc;
    if (doc.LoadFile(resources_ / "config.xml") && doc.FindElement(u"config")) {
        doc.EnterElement();
        if (doc.FindElement(u"device.info")) {
            doc.EnterElement();
            while (doc.FindElement(u"keyboard")) {
                ModelRecord record;
                record.name = doc.GetAttribute(u"name");
                record.deviceType = DecimalToInt(doc.GetAttribute(u"device_type"));
                record.deviceInfo = doc.GetAttribute(u"device_info");
                models_.push_back(record);
                view_.AddDevice(record.name, record.deviceType);
                doc.EnterElement();
                while (doc.FindElement(u"mode")) {
                    record.modeValue = DecimalToInt(doc.GetAttribute(u"value"));
                    record.desc = doc.GetAttribute(u"desc");
                    record.vendorId = HexToInt(doc.GetAttribute(u"vid"));
                    record.productId = HexToInt(doc.GetAttribute(u"pid"));
                    record.name = doc.GetAttribute(u"product_name");
                    record.interfacePattern = doc.GetAttribute(u"hid_interface");
                    modes_.push_back(record);
                    if (link_)
                        link_->AddSupportedInterface({record.vendorId, record.productId, record.name, record.deviceType,
                                                      record.modeValue, record.interfacePattern});
                }
                doc.LeaveElement();
            }
            doc.LeaveElement();
        }
        if (doc.FindElement(u"software")) {
            software_.version = doc.GetAttribute(u"version");
            view_.SetVersionLabel(u"Ver: " + software_.version);
            doc.EnterElement();
            if (doc.FindElement(u"website")) software_.website = doc.GetAttribute(u"url");
            if (doc.FindElement(u"store")) software_.store = doc.GetAttribute(u"url");
            if (doc.FindElement(u"upgrade")) software_.upgradeServer = doc.GetAttribute(u"url");
            if (doc.FindElement(u"copyright")) {
                software_.copyright = doc.GetAttribute(u"info");
                view_.SetCopyrightLabel(software_.copyright);
            }
        }
    }
    LoadModel(kFirstModelType);
}

void DeviceInfo::LoadModel(int deviceType) {
    model_.firmwareServer.clear();
    std::u16string name, info;
    for (const ModelRecord& m : models_)
        if (m.deviceType == deviceType) {
            name = m.name;
            info = m.deviceInfo;
            break;
        }
    model_.deviceType = deviceType;
    if (db_) {
        db_->Close();
        db_->OpenForModel(dataFolder_, name, deviceType);
    }
    model_.name = name;

    XmlDocument doc;
    // A missing model leaves an empty file name: nothing to read, not the folder itself.
    if (info.empty() || !doc.LoadFile(resources_ / "layouts" / (WideToUtf8(info) + ".xml")) ||
        !doc.FindElement(u"device.info"))
        return;
    doc.EnterElement();

    if (doc.FindElement(u"menu")) {
        model_.pageFlags = 0x41;
        if (doc.GetAttribute(u"macro") == u"1") model_.pageFlags |= kPageMacros;
        if (doc.GetAttribute(u"light_mode") == u"1") model_.pageFlags |= kPageLighting;
        view_.SetTabItemVisible(1, model_.pageFlags & kPageKeys);
        view_.SetTabItemVisible(2, model_.pageFlags & kPageMacros);
        view_.SetTabItemVisible(3, model_.pageFlags & kPageLighting);
        view_.SetTabItemVisible(7, model_.pageFlags & kPageTab7);
    }
    if (doc.FindElement(u"firmware")) {
        model_.firmwareVersion = doc.GetAttribute(u"version");
        model_.firmwareFile = doc.GetAttribute(u"file");
        model_.firmwareServer = doc.GetAttribute(u"url");
        view_.SetFirmwareButtonVisible(!model_.firmwareVersion.empty() && !model_.firmwareFile.empty());
    }
    if (doc.FindElement(u"light")) {
        model_.rgbKeyboard = doc.GetAttribute(u"rgb_keyboard") == u"1";
        model_.defaultMode = DecimalToInt(doc.GetAttribute(u"default_mode"));
        model_.defaultBrightness = DecimalToInt(doc.GetAttribute(u"default_brightness"));
        model_.defaultSpeed = DecimalToInt(doc.GetAttribute(u"default_speed"));
        model_.brightnessMax = DecimalToInt(doc.GetAttribute(u"brightness_max"));
        model_.speedMax = DecimalToInt(doc.GetAttribute(u"speed_max"));
        view_.SetSliderMaxima(model_.brightnessMax, model_.speedMax);
        model_.lightModes.clear();
        doc.EnterElement();
        while (doc.FindElement(u"info")) {
            model_.lightModes.push_back({doc.GetAttribute(u"name"), DecimalToInt(doc.GetAttribute(u"mode")),
                                         static_cast<unsigned>(DecimalToInt(doc.GetAttribute(u"attribute")))});
        }
        doc.LeaveElement();
    }

    // The layout is rebuilt from scratch; the views of disabled pages keep what they had.
    for (int v : kViews)
        if (model_.pageFlags & v) view_.ClearKeys(v);
    layout_ = ReadLayout(doc);
    if (!layout_.present) return;
    for (int v : kViews) {
        if (!(model_.pageFlags & v)) continue;
        view_.SetKeyboard(v, Rect{layout_.xpos, layout_.ypos, layout_.xpos + layout_.width, layout_.ypos + layout_.height},
                          u"keyboard/" + layout_.image, layout_.width, layout_.height);
        for (const KeyLayoutItem& key : layout_.keys) view_.AddKey(v, key);
    }
}

} // namespace vantrel
