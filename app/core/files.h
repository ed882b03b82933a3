// Whole-file reads and crash-safe whole-file writes.
#pragma once

#include <filesystem>
#include <string>

namespace vantrel {

// Reads a regular file completely. On failure returns false and, when given, the reason.
bool ReadFileBytes(const std::filesystem::path& path, std::string* bytes, std::string* error = nullptr);

// Replaces the file with `bytes` so that readers and a crash see either the old or the new
// content, never a mix: the bytes go to a temporary file beside it, are flushed, then renamed
// over it. A symbolic link is followed, so the file it points at is replaced, not the link.
// An existing file keeps its permission bits.
bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes,
                         std::string* error = nullptr);

} // namespace vantrel
