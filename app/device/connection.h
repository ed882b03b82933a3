// Following keyboards as they come and go: device notices become scan tasks, scans decide how the
// keyboard is connected, and the main window shows it.
#pragma once

#include "app/core/device_task_queue.h"
#include "app/core/device_worker.h"
#include "app/core/language.h"
#include "app/device/device_info.h"
#include "app/device/hid_device_list.h"
#include "app/device/protocol.h"

#include <mutex>
#include <string>

namespace vantrel {

inline constexpr char16_t kHidOverGattUuid[] = u"00001812-0000-1000-8000-00805F9B34FB";

// The main-window changes a connection change makes. Called from the device worker.
class ConnectionView {
public:
    virtual ~ConnectionView() = default;
    // Closes the key dialog, message box (cancel), wait dialog and menus; hides tips and drop-downs.
    virtual void CloseSecondaryWindows() = 0;
    virtual void ResetDeviceStates() = 0;
    virtual void SetDeviceState(int deviceType, int state) = 0;
    virtual void SetStatusText(const std::u16string& text) = 0;
    virtual void SetTabItemVisible(int item, bool visible) = 0;
    virtual void SelectTabItem(int item) = 0;
    virtual void ShowSettingsButton(const std::u16string& text) = 0;
    // Tab area, tab control, battery gauge and connection picture shown, with the device title.
    virtual void ShowConnected(const std::u16string& title, const std::u16string& picture) = 0;
    // All of them hidden, title and picture emptied; the top area too when asked.
    virtual void ShowDisconnected(bool hideTopArea) = 0;
    // Keyboards found that could not be opened for lack of permission (empty: none).
    virtual void ShowInaccessible(const std::vector<InaccessibleInterface>& interfaces) = 0;
};

// The page reloads of the post-connect synchronisation; each subsystem fills in its own.
class SyncHooks {
public:
    virtual ~SyncHooks() = default;
    virtual void ReloadMacroList() {}
    // Drop stored assignments the keyboard no longer holds (family B); only called when every
    // read of the slot table was answered.
    virtual void ReconcileKeyFunctions(const SlotTable&) {}
    virtual void ReloadProfileList() {}
    virtual void ReloadLightingPage() {}
    virtual void LoadMusicLayers() {}
};

class Connection {
public:
    Connection(HidDeviceList& link, DeviceInfo& info, WorkerState& state, DeviceTaskQueue& queue,
               const LanguageTexts& texts, ConnectionView& view, SyncHooks& hooks);

    // A device notice with the interface's path (UI thread): queues a scan when it is about a
    // configured connection.
    void OnDeviceChange(bool arrival, const std::string& path);

    // Worker: rescan, then show the result.
    void ScanDevices();
    void ApplyConnectionState();
    void SyncDevice();
    // The device part of the factory reset task, then the reloads.
    void FactoryReset();

    int ConnectionKind() const;
    KeyboardFamily Family() const { return FamilyForDeviceType(info_.Model().deviceType); }
    bool DeviceFound() const { return state_.deviceFound; }
    bool ModePresent() const { return state_.modePresent; }
    bool IsModePresent(size_t modeIndex) const;

private:
    HidDeviceList& link_;
    DeviceInfo& info_;
    WorkerState& state_;
    DeviceTaskQueue& queue_;
    const LanguageTexts& texts_;
    ConnectionView& view_;
    SyncHooks& hooks_;
    mutable std::mutex mutex_; // the present flags of the mode list and the connection kind
    int connectionKind_ = -1;
};

} // namespace vantrel
