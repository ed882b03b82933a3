#include "app/device/connection.h"

#include "app/core/text_encoding.h"

#include <cctype>

namespace vantrel {
namespace {

constexpr int kTextKeyboard = 51;
constexpr int kTextFound = 60;
constexpr int kTextNotFound = 61;
constexpr int kTextSettingsButton = 153;
constexpr int kFamilyBCablePages = 0x47;
constexpr int kFamilyBWirelessPages = 0x44;
constexpr char16_t kKeyboardPicture[] = u"icon/icon_keyboard.png";

} // namespace

Connection::Connection(HidDeviceList& link, DeviceInfo& info, WorkerState& state, DeviceTaskQueue& queue,
                       const LanguageTexts& texts, ConnectionView& view, SyncHooks& hooks)
    : link_(link), info_(info), state_(state), queue_(queue), texts_(texts), view_(view), hooks_(hooks) {}

void Connection::OnDeviceChange(bool arrival, const std::string& path) {
    std::string upperBytes = path;
    for (char& c : upperBytes) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::u16string upper = Utf8ToWide(upperBytes);
    const bool lowEnergy = upper.find(kHidOverGattUuid) != std::u16string::npos;

    std::lock_guard lock(mutex_);
    for (ModelRecord& mode : info_.Modes()) {
        if (!arrival && !mode.present) continue;
        // Bluetooth LE HID interfaces come and go on their own; their state is picked up later.
        if (lowEnergy) return;
        if (upper.find(mode.interfacePattern) == std::u16string::npos) continue;
        if (!arrival) mode.present = false;
        queue_.Queue(arrival ? kDeviceArrived : kDeviceRemoved);
        return;
    }
}

void Connection::ScanDevices() {
    state_.modePresent = false;
    link_.CloseAllInterfaces();
    link_.ScanInterfaces();
    link_.SetOpened(true);
    link_.SetSelectedModel(0);
    link_.ForgetSelectedInterface();
    std::vector<int> found;
    state_.deviceFound = link_.CollectModelInterfaces(&found) && !found.empty();
    view_.ResetDeviceStates();
    view_.ShowInaccessible(link_.Inaccessible());

    std::lock_guard lock(mutex_);
    for (ModelRecord& mode : info_.Modes()) {
        if (link_.FindOpenedInterface(mode.vendorId, mode.productId, mode.name, mode.modeValue) < 0) continue;
        state_.modePresent = true;
        mode.present = true;
        view_.SetDeviceState(mode.deviceType, 1);
    }
}

void Connection::ApplyConnectionState() {
    state_.deviceType = info_.Model().deviceType;
    view_.CloseSecondaryWindows();
    if (!state_.deviceFound) {
        {
            std::lock_guard lock(mutex_);
            connectionKind_ = -1;
        }
        view_.SetStatusText(texts_.GetLanguageText(kTextNotFound));
        view_.SelectTabItem(0);
        view_.ShowDisconnected(false);
        return;
    }
    // The loaded model (201 unless another one was chosen), so that every configured model works.
    link_.SetSelectedModel(info_.Model().deviceType);
    link_.ForgetSelectedInterface();
    const int kind = link_.ConnectionKind();
    {
        std::lock_guard lock(mutex_);
        connectionKind_ = kind;
    }
    view_.SetStatusText(texts_.GetLanguageText(kTextFound));

    const bool wireless = kind == 1 || kind == 2;
    const KeyboardFamily family = Family();
    if (family == KeyboardFamily::kB) {
        view_.SetTabItemVisible(1, !wireless);
        view_.SetTabItemVisible(2, !wireless);
        view_.SelectTabItem(wireless ? 0 : 1);
        view_.SetTabItemVisible(3, true);
        view_.SetTabItemVisible(4, true);
        info_.MutableModel().pageFlags = wireless ? kFamilyBWirelessPages : kFamilyBCablePages;
        view_.ShowSettingsButton(texts_.GetLanguageText(kTextSettingsButton));
    } else if (family == KeyboardFamily::kA) {
        for (int item = 1; item <= 4; ++item) view_.SetTabItemVisible(item, true);
        view_.SelectTabItem(1);
    }

    if (!wireless || state_.modePresent) {
        view_.ShowConnected(texts_.GetLanguageText(kTextKeyboard), kKeyboardPicture);
        view_.SelectTabItem(family == KeyboardFamily::kB && wireless ? 3 : 1);
        queue_.Queue(kCheckFirmwareUpdate);
        queue_.Queue(kSyncDevice);
    } else {
        view_.SetStatusText(texts_.GetLanguageText(kTextNotFound));
        view_.SelectTabItem(0);
        view_.ShowDisconnected(true);
    }
}

void Connection::SyncDevice() {
    const int pages = info_.Model().pageFlags;
    const int type = info_.Model().deviceType;
    if (pages & kPageMacros) hooks_.ReloadMacroList();
    if (pages & kPageKeys) {
        SlotTable slots{};
        bool complete = false;
        // A keyboard slow to answer looks as if all its slots were free: never delete on that.
        if (type >= 200 && type <= 300 && ReadAssignmentSlots(link_, &slots, &complete) && complete)
            hooks_.ReconcileKeyFunctions(slots);
        hooks_.ReloadProfileList();
    }
    if (pages & kPageLighting) {
        hooks_.ReloadLightingPage();
        hooks_.LoadMusicLayers();
    }
}

void Connection::FactoryReset() {
    SendFactoryReset(link_, Family(), ConnectionKind());
    hooks_.ReloadMacroList();
    hooks_.ReloadProfileList();
    hooks_.ReloadLightingPage();
}

int Connection::ConnectionKind() const {
    std::lock_guard lock(mutex_);
    return connectionKind_;
}

bool Connection::IsModePresent(size_t modeIndex) const {
    std::lock_guard lock(mutex_);
    return modeIndex < info_.Modes().size() && info_.Modes()[modeIndex].present;
}

} // namespace vantrel
