#include "app/update/updates.h"

#include "app/core/folders.h"
#include "app/core/text_encoding.h"
#include "app/update/checksum.h"

#include <sys/stat.h>

#include <chrono>
#include <thread>

namespace vantrel {
namespace {

constexpr size_t kMaxVersionLength = 10;
constexpr std::chrono::milliseconds kRescanPause{2000};

std::vector<std::u16string_view> SplitDots(std::u16string_view text) {
    std::vector<std::u16string_view> parts;
    size_t start = 0;
    for (;;) {
        size_t dot = text.find(u'.', start);
        parts.push_back(text.substr(start, dot == std::u16string_view::npos ? std::u16string_view::npos : dot - start));
        if (dot == std::u16string_view::npos) return parts;
        start = dot + 1;
    }
}

// Version texts become file names: only letters, digits, dots, dashes and underscores.
bool IsSafeVersion(std::u16string_view v) {
    if (v.empty() || v.size() > kMaxVersionLength || v == u"." || v == u"..") return false;
    for (char16_t c : v)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'.' ||
              c == u'-' || c == u'_'))
            return false;
    return true;
}

} // namespace

int CompareVersions(std::u16string_view installed, std::u16string_view server) {
    const auto a = SplitDots(installed), b = SplitDots(server);
    if (a.size() != b.size()) return 2;
    for (size_t i = 0; i < a.size(); ++i) {
        const int x = DecimalToInt(a[i]), y = DecimalToInt(b[i]);
        if (x != y) return y > x ? 1 : 255;
    }
    return 0;
}

Updates::Updates(HttpClient& http, UpdatePage& page, Launcher& launcher, DeviceTaskQueue& queue,
                 std::filesystem::path dataFolder, std::filesystem::path programFolder)
    : http_(http), page_(page), launcher_(launcher), queue_(queue), dataFolder_(std::move(dataFolder)),
      programFolder_(std::move(programFolder)) {}

void Updates::SetSources(const UpdateSources& sources) {
    std::lock_guard lock(mutex_);
    sources_ = sources;
}

std::string Updates::SoftwarePackage(const std::u16string& version) {
    return "Keyboard-Software-" + WideToUtf8(version);
}

std::string Updates::FirmwarePackage(const std::u16string& version) {
    return "FirmwareUpdateTool-" + WideToUtf8(version);
}

std::optional<std::u16string> Updates::FetchVersion(const std::u16string& base) {
    if (base.empty()) return std::nullopt; // no server configured: nothing to ask
    std::string text;
    if (http_.FetchText(WideToUtf8(base) + "version", &text) != 1) return std::nullopt;
    // Servers end text files with a line break; that is not part of the version.
    const size_t first = text.find_first_not_of(" \t\r\n");
    const size_t last = text.find_last_not_of(" \t\r\n");
    std::u16string version = first == std::string::npos ? u"" : Utf8ToWide(text.substr(first, last - first + 1));
    if (!IsSafeVersion(version)) return std::nullopt;
    return version;
}

void Updates::CheckSoftwareUpdate() {
    std::u16string base, installed;
    {
        std::lock_guard lock(mutex_);
        base = sources_.softwareBase;
        installed = sources_.installedVersion;
    }
    auto latest = FetchVersion(base);
    if (!latest) return;
    const int result = CompareVersions(installed, *latest);
    {
        std::lock_guard lock(mutex_);
        latestSoftware_ = *latest;
        if (result != 1 && result != 2) return;
        softwareMarked_ = true;
    }
    page_.SetUpgradeStatus(kSoftwareButton);
    page_.ShowMessageBox(kSoftwareAvailableText, kSoftwareCaption, kOneButton);
}

void Updates::CheckFirmwareUpdate(const std::function<std::optional<uint16_t>()>& readFirmware) {
    std::u16string base;
    {
        std::lock_guard lock(mutex_);
        base = sources_.firmwareBase;
    }
    auto latest = FetchVersion(base);
    if (!latest) return;
    std::optional<uint16_t> version = readFirmware();
    if (!version) return;
    char hex[8];
    std::snprintf(hex, sizeof hex, "%x", *version);
    const int keyboard = DecimalToInt(Utf8ToWide(hex));
    {
        std::lock_guard lock(mutex_);
        latestFirmware_ = *latest;
        if (keyboard >= DecimalToInt(*latest)) return;
        firmwareMarked_ = true;
    }
    page_.SetUpgradeStatus(kFirmwareButton);
    page_.ShowMessageBox(kFirmwareAvailableText, kFirmwareCaption, kOneButton);
}

bool Updates::DownloadAndStart(const std::u16string& base, const std::string& program, int caption) {
    if (base.empty()) return false;
    const std::filesystem::path temp = TempFolder();
    if (!EnsureFolder(temp)) return false;
    const std::string packageName = program + ".zip";
    const std::filesystem::path package = temp / packageName;
    std::error_code ec;
    std::filesystem::remove(package, ec);

    const std::string address = WideToUtf8(base) + "//" + packageName; // two slashes, whatever the base ends with
    if (http_.DownloadFile(address, package, [this](int p) { page_.Progress(p); }) != 1) return false;
    if (!std::filesystem::is_regular_file(package, ec)) return false;

    std::string sums;
    if (http_.FetchText(address + ".sha256", &sums) == 1) {
        auto expected = ParseSha256File(sums);
        if (!expected || Sha256OfFile(package) != expected) {
            std::filesystem::remove(package, ec);
            page_.ShowMessageBox(kBadChecksumText, caption, kOneButton);
            return false;
        }
    } else if (page_.ShowMessageBox(kNoChecksumText, caption, kTwoButtons) == kSecondButton) {
        std::filesystem::remove(package, ec);
        return false;
    }

    if (UnpackArchive(package, temp)) std::filesystem::remove(package, ec);

    // Start only what unpacking put there as a plain file, never a link to something else.
    const std::filesystem::path target = temp / program;
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    ::chmod(target.c_str(), (st.st_mode & 0777) | S_IXUSR);
    if (!launcher_.Start(target)) return false;
    launcher_.ExitProgram();
    return true;
}

void Updates::DownloadSoftware() {
    std::u16string base, version;
    {
        std::lock_guard lock(mutex_);
        base = sources_.softwareBase;
        version = latestSoftware_;
    }
    if (!version.empty()) DownloadAndStart(base, SoftwarePackage(version), kSoftwareCaption);
}

void Updates::DownloadFirmwareTool() {
    std::u16string base, version;
    {
        std::lock_guard lock(mutex_);
        base = sources_.firmwareBase;
        version = latestFirmware_;
    }
    if (!version.empty()) DownloadAndStart(base, FirmwarePackage(version), kFirmwareCaption);
}

void Updates::RunFirmwareTool(const std::function<void()>& closeInterfaces, const std::function<void()>& rescan) {
    std::u16string file;
    {
        std::lock_guard lock(mutex_);
        file = sources_.firmwareFile;
    }
    if (file.empty()) return;
    const std::filesystem::path tool = programFolder_ / "firmware" / WideToUtf8(file);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(tool, ec)) return;
    closeInterfaces();
    if (launcher_.Start(tool)) {
        launcher_.ExitProgram();
        return;
    }
    std::this_thread::sleep_for(kRescanPause);
    rescan();
}

void Updates::OnSoftwareButton() {
    if (SoftwareUpdateMarked())
        queue_.Queue(kDownloadSoftware);
    else
        page_.ShowMessageBox(kNoSoftwareUpdateText, kSoftwareCaption, kOneButton);
}

void Updates::OnFirmwareButton() {
    const int text = FirmwareUpdateMarked() ? kFirmwareUpdateText : kFirmwareReinstallText;
    if (page_.ShowMessageBox(text, kFirmwareCaption, kTwoButtons) == kSecondButton) return;
    queue_.Queue(kDownloadFirmwareTool);
}

bool Updates::SoftwareUpdateMarked() const {
    std::lock_guard lock(mutex_);
    return softwareMarked_;
}

bool Updates::FirmwareUpdateMarked() const {
    std::lock_guard lock(mutex_);
    return firmwareMarked_;
}

std::u16string Updates::LatestSoftware() const {
    std::lock_guard lock(mutex_);
    return latestSoftware_;
}

std::u16string Updates::LatestFirmware() const {
    std::lock_guard lock(mutex_);
    return latestFirmware_;
}

} // namespace vantrel
