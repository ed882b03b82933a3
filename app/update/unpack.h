// Unpacking a downloaded zip package into a folder, safely: no entry can be written outside the
// folder, through a symbolic link, or as a symbolic link, and an archive that would unpack to
// more than the limits is refused before anything is written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

struct UnpackLimits {
    uint64_t maxTotalBytes = 1ull << 30; // 1 GiB
    size_t maxEntries = 10000;
};

struct UnpackReport {
    std::vector<std::string> written; // cleaned names below the folder
    std::vector<std::string> refused; // "name: reason"
    bool tooLarge = false;
};

// The entry name with drive prefixes, leading separators and parent-folder steps removed, "\"
// read as "/"; empty when nothing usable is left.
std::string CleanEntryName(std::string_view name);

// False when the archive cannot be read at all or is refused as too large; an archive that is
// not a zip file unpacks to nothing and gives true. Single bad entries are skipped and reported.
bool UnpackArchive(const std::filesystem::path& archive, const std::filesystem::path& folder,
                   UnpackReport* report = nullptr, const UnpackLimits& limits = {});

} // namespace vantrel
