// The per-user settings: string values holding decimal integers, kept in one file
// ("settings.ini" in the user's config folder for the product) that is replaced atomically.
//
// The failure rules are those of a settings store that may be missing or unreadable: a store
// that cannot be read or created reads as 0 for every value (1034 for the language), and writes
// to it are dropped, so a broken file is never made worse.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

namespace vantrel {

inline constexpr int kDefaultLanguageId = 1034;

class SettingsStore {
public:
    explicit SettingsStore(std::filesystem::path file);

    // Decimal value; 0 when absent, not numeric, or the store cannot be read. Creates the
    // store when it does not exist.
    int ReadSetting(std::u16string_view name);
    // Sets the value when the store exists and can be read; does nothing otherwise.
    void WriteSetting(std::u16string_view name, std::u16string_view text);

    // "LCID": 0 when the store is new or holds no language; 1034 when it cannot be opened.
    int ReadLanguageId();
    void WriteLanguageId(int languageId);

    const std::filesystem::path& File() const { return file_; }

private:
    enum class Open { kOk, kMissingCreated, kFailed };
    // Reads the store into `contents`, creating it (empty) when it is missing.
    Open OpenStore(std::string* contents);

    std::filesystem::path file_;
    std::mutex mutex_; // one read-modify-write at a time within the process
};

} // namespace vantrel
