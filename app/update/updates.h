// Software and firmware updates: version checks against the update server, the update buttons,
// and downloading, verifying, unpacking and starting a package.
//
// Nothing is downloaded or started without the user: a check that finds a newer version marks
// the button and tells the user; the download runs when the user presses the button. A package
// must match the "<package>.sha256" the server keeps beside it; one without a checksum is started
// only when the user agrees. Only a program that unpacking produced inside the temporary folder
// is made executable and started.
#pragma once

#include "app/core/device_task_queue.h"
#include "app/update/http_client.h"
#include "app/update/launcher.h"
#include "app/update/unpack.h"

#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace vantrel {

class HidDeviceList;

inline constexpr int kSoftwareButton = 241;
inline constexpr int kFirmwareButton = 242;
inline constexpr int kSoftwareCaption = 156;
inline constexpr int kFirmwareCaption = 157;
inline constexpr int kNoSoftwareUpdateText = 175;
inline constexpr int kFirmwareUpdateText = 176;
inline constexpr int kFirmwareReinstallText = 177;
inline constexpr int kSoftwareAvailableText = 180;
inline constexpr int kFirmwareAvailableText = 181;
inline constexpr int kNoChecksumText = 182;
inline constexpr int kBadChecksumText = 183;
inline constexpr int kOneButton = 0;
inline constexpr int kTwoButtons = 4;
inline constexpr int kSecondButton = 2; // "no" of a two-button box

// Versions compared: 0 equal, 1 the server's is newer, 255 the installed one is newer, 2 the
// texts have a different number of parts (taken as newer).
int CompareVersions(std::u16string_view installed, std::u16string_view server);

// What the updates show on the settings page. May be called from the device worker; the window
// marshals to its own thread (message boxes wait for the answer).
class UpdatePage {
public:
    virtual ~UpdatePage() = default;
    virtual void SetUpgradeStatus(int button) = 0;
    virtual int ShowMessageBox(int text, int caption, int buttons) = 0;
    virtual void Progress(int /*percent*/) {}
};

struct UpdateSources {
    std::u16string installedVersion; // of the software
    std::u16string softwareBase;     // ends with "/"; "version" and the packages are below it
    std::u16string firmwareBase;
    std::u16string firmwareFile;     // the installed firmware tool, in <program>/firmware
};

class Updates {
public:
    Updates(HttpClient& http, UpdatePage& page, Launcher& launcher, DeviceTaskQueue& queue,
            std::filesystem::path dataFolder, std::filesystem::path programFolder);

    void SetSources(const UpdateSources& sources);

    // Device tasks 12 to 16.
    void CheckSoftwareUpdate();
    // `readFirmware` gives the keyboard's firmware version, or nothing when it cannot be read.
    void CheckFirmwareUpdate(const std::function<std::optional<uint16_t>()>& readFirmware);
    void DownloadSoftware();
    void DownloadFirmwareTool();
    // `closeInterfaces` runs before the tool starts; `rescan` after it failed to start.
    void RunFirmwareTool(const std::function<void()>& closeInterfaces, const std::function<void()>& rescan);

    // The update buttons (UI thread).
    void OnSoftwareButton();
    void OnFirmwareButton();

    bool SoftwareUpdateMarked() const;
    bool FirmwareUpdateMarked() const;
    std::u16string LatestSoftware() const;
    std::u16string LatestFirmware() const;
    std::filesystem::path TempFolder() const { return dataFolder_ / "temp"; }

    static std::string SoftwarePackage(const std::u16string& version);
    static std::string FirmwarePackage(const std::u16string& version);

private:
    // The server's version text, trimmed; nothing when it is not 1 to 10 safe characters.
    std::optional<std::u16string> FetchVersion(const std::u16string& base);
    // Download, verify, unpack and start; false when nothing was started.
    bool DownloadAndStart(const std::u16string& base, const std::string& program, int caption);

    HttpClient& http_;
    UpdatePage& page_;
    Launcher& launcher_;
    DeviceTaskQueue& queue_;
    std::filesystem::path dataFolder_;
    std::filesystem::path programFolder_;

    mutable std::mutex mutex_; // the worker writes what the UI thread reads
    UpdateSources sources_;
    std::u16string latestSoftware_, latestFirmware_;
    bool softwareMarked_ = false, firmwareMarked_ = false;
};

} // namespace vantrel
