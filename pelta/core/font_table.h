// Private fonts of a window: font files shipped with the program, registered with fontconfig and
// known under the names the program uses for them.
#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "pelta/core/api.h"

namespace Pelta {

class PELTA_API FontTable {
public:
    // Registers file and stores its first family under alias; the real family name, or nothing
    // when the file cannot be read or holds no family.
    std::optional<std::string> AddTempFont(const std::string& alias, const std::filesystem::path& file);
    // The family to draw the process font (Manager::GetFontName) with: a private font stored
    // under that name, else an installed family of that name, else nothing (callers fall back to
    // the default sans family).
    std::optional<std::string> FindTempFont();
    std::optional<std::string> Resolve(const std::string& name);
    void ClearTempFont();

private:
    std::mutex mutex_;
    std::map<std::string, std::optional<std::string>> families_; // name -> family, or none installed
};

} // namespace Pelta
