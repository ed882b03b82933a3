// Profile exchange files: one profile's key functions with the macros its keys use, as XML.
#pragma once

#include "app/store/store.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vantrel {

// Writes the profile; `displayName` is the name the profile list shows.
bool ExportProfile(Store& store, int profile, std::u16string_view displayName, const std::filesystem::path& file);

struct ProfileImport {
    int profile = 0;                 // the new profile, 0 when none was made
    std::vector<int> importedMacros; // macros created for the file, in file order
};

// Adds the file's macros that the store lacks (by name and id), then a profile named after the
// file up to its first "." with the file's key functions. Nothing when the file cannot be read
// or its root is not "profile".
ProfileImport ImportProfile(Store& store, const std::filesystem::path& file);

} // namespace vantrel
