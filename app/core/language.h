// Numbered user-visible texts from the language files "<resources>/language/<id>.lan".
#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <string_view>

namespace vantrel {

inline constexpr int kEnglishLanguageId = 1033;
inline constexpr size_t kMaxLanguageTextLength = 259;
inline constexpr std::u16string_view kDialogSection = u"KB.DIALOG";

class LanguageTexts {
public:
    explicit LanguageTexts(std::filesystem::path languageFolder, int languageId = kEnglishLanguageId);

    void SetLanguageId(int languageId) { languageId_.store(languageId); }
    int LanguageId() const { return languageId_.load(); }

    // The text `number` of `section`, at most 259 characters; empty when the section or key is
    // missing. The file is read on every call, so a language change shows at once. A language
    // without an installed file reads the English file: a user never sees a window without texts.
    std::u16string GetLanguageText(std::u16string_view section, int number) const;
    std::u16string GetLanguageText(int number) const { return GetLanguageText(kDialogSection, number); }

    // The file a language id reads (after the English fallback).
    std::filesystem::path FileFor(int languageId) const;

private:
    std::filesystem::path folder_;
    std::atomic<int> languageId_;
};

// The user's UI language as a Windows language id, from LC_ALL, LC_MESSAGES or LANG
// (es -> 1034, en -> 1033, ...); 1033 when unset or unknown.
int UserDefaultLanguageId();
int LanguageIdForLocale(std::string_view locale);

} // namespace vantrel
