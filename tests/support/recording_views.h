// Test doubles of the main window for the device link: they record what they are asked to show.
#pragma once

#include "app/core/text_encoding.h"
#include "app/device/connection.h"
#include "app/device/device_info.h"

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace vantrel::testing {

class RecordingInfoView : public DeviceInfoView {
public:
    void AddDevice(const std::u16string& name, int deviceType) override {
        devices.push_back(WideToUtf8(name) + "/" + std::to_string(deviceType));
    }
    void SetVersionLabel(const std::u16string& text) override { version = WideToUtf8(text); }
    void SetCopyrightLabel(const std::u16string& text) override { copyright = WideToUtf8(text); }
    void SetTabItemVisible(int item, bool visible) override { tabs[item] = visible; }
    void SetFirmwareButtonVisible(bool visible) override { firmwareButton = visible; }
    void SetSliderMaxima(int brightness, int speed) override { maxima = {brightness, speed}; }
    void ClearKeys(int view) override { keys[view].clear(); }
    void SetKeyboard(int view, const Rect& rect, const std::u16string& image, int, int) override {
        pictures[view] = WideToUtf8(image);
        rects[view] = rect;
    }
    void AddKey(int view, const KeyLayoutItem& key) override { keys[view].push_back(key.code); }

    std::vector<std::string> devices;
    std::string version, copyright;
    std::map<int, bool> tabs;
    bool firmwareButton = false;
    std::pair<int, int> maxima{0, 0};
    std::map<int, std::vector<int>> keys;
    std::map<int, std::string> pictures;
    std::map<int, Rect> rects;
};

class RecordingConnectionView : public ConnectionView {
public:
    void CloseSecondaryWindows() override { Add("close-windows"); }
    void ResetDeviceStates() override {
        std::lock_guard lock(mutex_);
        connected.clear();
    }
    void SetDeviceState(int deviceType, int state) override {
        std::lock_guard lock(mutex_);
        if (state) connected.insert(deviceType);
    }
    void SetStatusText(const std::u16string& text) override { Add("status " + WideToUtf8(text)); }
    void SetTabItemVisible(int item, bool visible) override { Add((visible ? "show-tab " : "hide-tab ") + std::to_string(item)); }
    void SelectTabItem(int item) override { Add("select-tab " + std::to_string(item)); }
    void ShowSettingsButton(const std::u16string&) override { Add("settings-button"); }
    void ShowConnected(const std::u16string& title, const std::u16string& picture) override {
        Add("connected " + WideToUtf8(title) + " " + WideToUtf8(picture));
    }
    void ShowDisconnected(bool hideTop) override { Add(hideTop ? "disconnected+top" : "disconnected"); }
    void ShowInaccessible(const std::vector<InaccessibleInterface>& list) override { inaccessible = list.size(); }
    size_t inaccessible = 0;

    std::string Trace() {
        std::lock_guard lock(mutex_);
        std::string out;
        for (const auto& e : events_) out += (out.empty() ? "" : ", ") + e;
        events_.clear();
        return out;
    }
    std::set<int> connected;

private:
    void Add(const std::string& e) {
        std::lock_guard lock(mutex_);
        events_.push_back(e);
    }
    std::mutex mutex_;
    std::vector<std::string> events_;
};

} // namespace vantrel::testing
