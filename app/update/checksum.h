// SHA-256 of downloaded packages.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// Lower-case hex digest of the file; nothing when it cannot be read.
std::optional<std::string> Sha256OfFile(const std::filesystem::path& file);

// The digest in a ".sha256" file: its first 64 hex digits ("<digest>  <name>" or the digest
// alone), lower-cased; nothing when it holds none.
std::optional<std::string> ParseSha256File(std::string_view text);

} // namespace vantrel
