#include "app/core/language.h"

#include "app/core/files.h"
#include "app/core/ini_file.h"

#include <cstdlib>
#include <string>

namespace vantrel {

LanguageTexts::LanguageTexts(std::filesystem::path languageFolder, int languageId)
    : folder_(std::move(languageFolder)), languageId_(languageId) {}

std::filesystem::path LanguageTexts::FileFor(int languageId) const {
    std::filesystem::path file = folder_ / (std::to_string(languageId) + ".lan");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        file = folder_ / (std::to_string(kEnglishLanguageId) + ".lan");
    return file;
}

std::u16string LanguageTexts::GetLanguageText(std::u16string_view section, int number) const {
    std::string contents;
    if (!ReadFileBytes(FileFor(LanguageId()), &contents)) return {};
    std::string key = std::to_string(number);
    auto value = IniFile::Parse(contents).Get(section, std::u16string(key.begin(), key.end()));
    if (!value) return {};
    if (value->size() > kMaxLanguageTextLength) {
        size_t cut = kMaxLanguageTextLength;
        // Never leave half of a surrogate pair behind.
        if ((*value)[cut - 1] >= 0xD800 && (*value)[cut - 1] <= 0xDBFF) --cut;
        value->resize(cut);
    }
    return *value;
}

int LanguageIdForLocale(std::string_view locale) {
    // "ll_CC.codeset@modifier": compare the language, then language and country.
    std::string_view base = locale.substr(0, locale.find_first_of(".@"));
    std::string_view language = base.substr(0, base.find('_'));
    std::string_view country = base.find('_') == std::string_view::npos ? "" : base.substr(base.find('_') + 1);

    struct Entry {
        const char* language;
        const char* country; // empty: any
        int id;
    };
    static constexpr Entry kTable[] = {
        {"zh", "TW", 1028}, {"zh", "HK", 3076}, {"zh", "", 2052},   {"pt", "BR", 1046},
        {"pt", "", 2070},   {"en", "GB", 2057}, {"en", "", 1033},   {"es", "MX", 2058},
        {"es", "", 1034},   {"de", "", 1031},   {"fr", "", 1036},   {"it", "", 1040},
        {"ja", "", 1041},   {"ko", "", 1042},   {"nl", "", 1043},   {"pl", "", 1045},
        {"ru", "", 1049},   {"sv", "", 1053},   {"tr", "", 1055},   {"uk", "", 1058},
        {"cs", "", 1029},   {"da", "", 1030},   {"el", "", 1032},   {"fi", "", 1035},
        {"hu", "", 1038},   {"nb", "", 1044},   {"ar", "", 1025},   {"he", "", 1037},
        {"th", "", 1054},   {"vi", "", 1066},
    };
    for (const Entry& e : kTable)
        if (language == e.language && (e.country[0] == '\0' || country == e.country)) return e.id;
    return kEnglishLanguageId;
}

int UserDefaultLanguageId() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return LanguageIdForLocale(value);
    }
    return kEnglishLanguageId;
}

} // namespace vantrel
