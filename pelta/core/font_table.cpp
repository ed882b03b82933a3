#include "pelta/core/font_table.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <map>

#include "pelta/core/manager.h"
#include "pelta/core/text.h"

namespace Pelta {

namespace {

std::optional<std::string> FirstFamilyOf(const std::filesystem::path& file) {
    int count = 0;
    FcPattern* pattern = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(file.c_str()), 0, nullptr, &count);
    if (!pattern) return std::nullopt;
    FcChar8* family = nullptr;
    std::optional<std::string> out;
    if (FcPatternGetString(pattern, FC_FAMILY, 0, &family) == FcResultMatch && family)
        out = reinterpret_cast<const char*>(family);
    FcPatternDestroy(pattern);
    return out;
}

// Fontconfig's application fonts are process-wide: each file is read and added once, and Pango is
// told to look again. Every later window gets the family from here without reading the file.
std::optional<std::string> RegisterFile(const std::filesystem::path& file) {
    static std::mutex mutex;
    static std::map<std::filesystem::path, std::optional<std::string>> added;
    std::lock_guard lock(mutex);
    if (auto it = added.find(file); it != added.end()) return it->second;
    std::optional<std::string> family = FirstFamilyOf(file);
    if (family && !FcConfigAppFontAddFile(FcConfigGetCurrent(), reinterpret_cast<const FcChar8*>(file.c_str())))
        family.reset();
    added[file] = family;
    if (family) {
        PangoFontMap* map = pango_cairo_font_map_get_default();
        if (PANGO_IS_FC_FONT_MAP(map)) pango_fc_font_map_config_changed(PANGO_FC_FONT_MAP(map));
    }
    return family;
}

bool SystemHasFamily(const std::string& name) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(FcConfigGetCurrent(), pattern, os);
    const bool found = set && set->nfont > 0;
    if (set) FcFontSetDestroy(set);
    FcObjectSetDestroy(os);
    FcPatternDestroy(pattern);
    return found;
}

} // namespace

std::optional<std::string> FontTable::AddTempFont(const std::string& alias, const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
    std::optional<std::string> family = RegisterFile(file);
    if (!family) return std::nullopt;
    std::lock_guard lock(mutex_);
    families_[alias] = *family;
    return family;
}

std::optional<std::string> FontTable::Resolve(const std::string& name) {
    {
        std::lock_guard lock(mutex_);
        if (auto it = families_.find(name); it != families_.end()) return it->second;
    }
    // Remembered either way: controls ask on every repaint of their cache.
    std::optional<std::string> found;
    if (SystemHasFamily(name)) found = name;
    std::lock_guard lock(mutex_);
    families_[name] = found;
    return found;
}

std::optional<std::string> FontTable::FindTempFont() { return Resolve(ToUtf8(Manager::GetFontName())); }

void FontTable::ClearTempFont() {
    std::lock_guard lock(mutex_);
    families_.clear();
}

} // namespace Pelta
