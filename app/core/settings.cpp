#include "app/core/settings.h"

#include "app/core/files.h"
#include "app/core/folders.h"
#include "app/core/ini_file.h"
#include "app/core/text_encoding.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>

namespace vantrel {
namespace {

constexpr std::u16string_view kSection = u"settings";

} // namespace

SettingsStore::SettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

SettingsStore::Open SettingsStore::OpenStore(std::string* contents) {
    struct stat st {};
    if (::lstat(file_.c_str(), &st) != 0 && errno == ENOENT) {
        if (!EnsureFolder(file_.parent_path())) return Open::kFailed;
        if (!WriteFileAtomically(file_, "[settings]\n")) return Open::kFailed;
        contents->clear();
        return Open::kMissingCreated;
    }
    return ReadFileBytes(file_, contents) ? Open::kOk : Open::kFailed;
}

int SettingsStore::ReadSetting(std::u16string_view name) {
    std::lock_guard lock(mutex_);
    std::string contents;
    if (OpenStore(&contents) == Open::kFailed) return 0;
    auto value = IniFile::Parse(contents).Get(kSection, name);
    return value ? DecimalToInt(*value) : 0;
}

void SettingsStore::WriteSetting(std::u16string_view name, std::u16string_view text) {
    std::lock_guard lock(mutex_);
    std::string contents;
    if (!ReadFileBytes(file_, &contents)) return; // a store that cannot be opened is not created here
    IniFile ini = IniFile::Parse(contents);
    ini.Set(kSection, name, text);
    WriteFileAtomically(file_, ini.Serialize());
}

int SettingsStore::ReadLanguageId() {
    std::lock_guard lock(mutex_);
    std::string contents;
    switch (OpenStore(&contents)) {
    case Open::kFailed: return kDefaultLanguageId;
    case Open::kMissingCreated: return 0;
    case Open::kOk: break;
    }
    auto value = IniFile::Parse(contents).Get(kSection, u"LCID");
    return value ? DecimalToInt(*value) : 0;
}

void SettingsStore::WriteLanguageId(int languageId) {
    std::string digits = std::to_string(languageId);
    WriteSetting(u"LCID", std::u16string(digits.begin(), digits.end()));
}

} // namespace vantrel
