// Where the program finds its installed files and keeps the user's.
#pragma once

#include <filesystem>
#include <string>

namespace vantrel {

struct Folders {
    std::filesystem::path program;   // folder of the running executable
    std::filesystem::path resources; // config.xml, layouts/, language/, skins/, font/
    std::filesystem::path data;      // "<data home>/<product> Files/"; holds db/
    std::filesystem::path config;    // "<config home>/<product>/"; holds settings.ini
    std::filesystem::path autostart; // "<config home>/autostart/"
    std::filesystem::path runtime;   // lock file and socket of the single instance
};

// Folder of the running executable.
std::filesystem::path ProgramFolder();

// The installed files sit beside the executable; an installed build finds them in
// <prefix>/share/vantrel when they are not there.
std::filesystem::path ResourceFolder(const std::filesystem::path& programFolder);

// Resolves every folder from the XDG variables of the environment (with their standard defaults).
Folders ResolveFolders(const std::u16string& productName);

// A product name made safe as one path component.
std::string FileNameOf(const std::u16string& productName);

// Creates the folder and its missing parents; true when it exists afterwards.
bool EnsureFolder(const std::filesystem::path& path);

} // namespace vantrel
