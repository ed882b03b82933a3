// The program's host while it has no main window: it takes what the device link would show and
// reports connection changes as lines on a stream.
#pragma once

#include "app/core/device_worker.h"
#include "app/device/connection.h"
#include "app/device/device_info.h"
#include "app/update/updates.h"

#include <cstdio>
#include <mutex>
#include <string>

namespace vantrel {

class HeadlessHost final : public WorkerWindow, public DeviceInfoView, public ConnectionView, public UpdatePage {
public:
    HeadlessHost(std::FILE* out, const LanguageTexts* texts = nullptr) : out_(out), texts_(texts) {}

    // WorkerWindow
    void EnableWindow(bool) override {}
    bool IsWindowVisible() const override { return false; }
    void EndWaitDialog() override {}

    // DeviceInfoView: nothing to show without a window.
    void AddDevice(const std::u16string&, int) override {}
    void SetVersionLabel(const std::u16string&) override {}
    void SetCopyrightLabel(const std::u16string&) override {}
    void SetTabItemVisible(int, bool) override {}
    void SetFirmwareButtonVisible(bool) override {}
    void SetSliderMaxima(int, int) override {}
    void ClearKeys(int) override {}
    void SetKeyboard(int, const Rect&, const std::u16string&, int, int) override {}
    void AddKey(int, const KeyLayoutItem&) override {}

    // ConnectionView
    void CloseSecondaryWindows() override {}
    void ResetDeviceStates() override {}
    void SetDeviceState(int, int) override {}
    void SetStatusText(const std::u16string& text) override;
    void SelectTabItem(int) override {}
    void ShowSettingsButton(const std::u16string&) override {}
    void ShowConnected(const std::u16string&, const std::u16string&) override {}
    void ShowDisconnected(bool) override {}
    void ShowInaccessible(const std::vector<InaccessibleInterface>& interfaces) override;

    // UpdatePage: messages become lines; questions are answered "no", as nobody is there to ask.
    void SetUpgradeStatus(int) override {}
    int ShowMessageBox(int text, int caption, int buttons) override;

    // Called after each scan with the state it found.
    void ReportConnection(const std::u16string& model, int kind, bool found);

private:
    void Line(const std::string& text);
    std::FILE* out_;
    const LanguageTexts* texts_;
    std::mutex mutex_;
    std::string lastReport_;
};

} // namespace vantrel
