#include "app/core/folders.h"

#include "app/core/text_encoding.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace vantrel {
namespace {

std::filesystem::path HomeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? std::filesystem::path(home) : std::filesystem::temp_directory_path();
}

// An XDG base folder: the variable when it holds an absolute path, otherwise the default.
std::filesystem::path XdgFolder(const char* variable, const char* fallbackBelowHome) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') return value;
    return HomeFolder() / fallbackBelowHome;
}

} // namespace

std::filesystem::path ProgramFolder() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec);
    return exe.parent_path();
}

std::filesystem::path ResourceFolder(const std::filesystem::path& programFolder) {
    std::error_code ec;
    if (std::filesystem::exists(programFolder / "config.xml", ec)) return programFolder;
    std::filesystem::path installed = programFolder.parent_path() / "share" / "vantrel";
    if (std::filesystem::exists(installed / "config.xml", ec)) return installed;
    return programFolder;
}

std::string FileNameOf(const std::u16string& productName) {
    std::string name = WideToUtf8(productName);
    for (char& c : name)
        if (c == '/' || c == '\0') c = '_';
    if (name.empty() || name == "." || name == "..") name = "Vantrel";
    return name;
}

Folders ResolveFolders(const std::u16string& productName) {
    const std::string name = FileNameOf(productName);
    Folders f;
    f.program = ProgramFolder();
    f.resources = ResourceFolder(f.program);
    f.data = XdgFolder("XDG_DATA_HOME", ".local/share") / (name + " Files");
    const std::filesystem::path configHome = XdgFolder("XDG_CONFIG_HOME", ".config");
    f.config = configHome / name;
    f.autostart = configHome / "autostart";
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    f.runtime = runtime && runtime[0] == '/' ? std::filesystem::path(runtime) : f.data;
    return f;
}

bool EnsureFolder(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return true;
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
}

} // namespace vantrel
