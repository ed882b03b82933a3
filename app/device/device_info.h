// The keyboard models of the configuration file and the description of the loaded model.
#pragma once

#include "app/device/key_layout.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vantrel {

class HidDeviceList;
class SQLiteDB;

// One keyboard model (model list) or one of its connection modes (mode list).
struct ModelRecord {
    std::u16string name;       // model name; the mode's product name in the mode list
    int deviceType = 0;
    std::u16string deviceInfo; // base name of the description file
    int modeValue = 0;         // 0 cable, 1 and 2 wireless
    int vendorId = 0;
    int productId = 0;
    std::u16string desc;
    std::u16string interfacePattern;
    bool present = false;
};

struct LightModeEntry {
    std::u16string name;
    int mode = 0;
    unsigned attribute = 0; // capability bits
};

inline constexpr int kPageKeys = 0x01;
inline constexpr int kPageMacros = 0x02;
inline constexpr int kPageLighting = 0x04;
inline constexpr int kPageTab7 = 0x40;
inline constexpr int kAllPages = 0x7F;

struct SoftwareSettings {
    std::u16string version, website, store, upgradeServer, copyright;
};

struct ModelSettings {
    int deviceType = 0;
    std::u16string name;
    int pageFlags = kAllPages;
    std::u16string firmwareServer, firmwareFile, firmwareVersion;
    bool rgbKeyboard = false;
    int defaultMode = 0, defaultBrightness = 0, defaultSpeed = 0;
    int brightnessMax = 0, speedMax = 0;
    std::vector<LightModeEntry> lightModes;
};

// What loading shows in the main window: the device list, the tabs, the firmware button, the
// sliders and the keyboard views. Views are named by the page flag of their page (0x01, 0x04, 0x40).
class DeviceInfoView {
public:
    virtual ~DeviceInfoView() = default;
    virtual void AddDevice(const std::u16string& name, int deviceType) = 0;
    virtual void SetVersionLabel(const std::u16string& text) = 0;
    virtual void SetCopyrightLabel(const std::u16string& text) = 0;
    virtual void SetTabItemVisible(int item, bool visible) = 0;
    virtual void SetFirmwareButtonVisible(bool visible) = 0;
    virtual void SetSliderMaxima(int brightnessMax, int speedMax) = 0;
    virtual void ClearKeys(int view) = 0;
    virtual void SetKeyboard(int view, const Rect& rect, const std::u16string& image, int width, int height) = 0;
    virtual void AddKey(int view, const KeyLayoutItem& key) = 0;
};

class DeviceInfo {
public:
    // `link` gets the supported interfaces; `db` is opened for each loaded model. Either may be
    // null (tests of the description alone).
    DeviceInfo(std::filesystem::path resources, std::filesystem::path dataFolder, DeviceInfoView& view,
               HidDeviceList* link, SQLiteDB* db);

    void LoadConfiguration();
    void LoadModel(int deviceType);

    const std::vector<ModelRecord>& Models() const { return models_; }
    std::vector<ModelRecord>& Modes() { return modes_; }
    const std::vector<ModelRecord>& Modes() const { return modes_; }
    const SoftwareSettings& Software() const { return software_; }
    const ModelSettings& Model() const { return model_; }
    ModelSettings& MutableModel() { return model_; }
    const KeyLayout& Layout() const { return layout_; }

    static constexpr int kFirstModelType = 201;

private:
    std::filesystem::path resources_;
    std::filesystem::path dataFolder_;
    DeviceInfoView& view_;
    HidDeviceList* link_;
    SQLiteDB* db_;
    std::vector<ModelRecord> models_;
    std::vector<ModelRecord> modes_;
    SoftwareSettings software_;
    ModelSettings model_;
    KeyLayout layout_;
};

} // namespace vantrel
