// Macro exchange files: one macro with its settings and events, as XML.
#pragma once

#include "app/store/store.h"

#include <filesystem>

namespace vantrel {

// Writes the macro to the file; false when it does not exist or the file cannot be written.
bool ExportMacro(Store& store, int macroId, const std::filesystem::path& file);

// Adds the file's macro, named after the file up to its first "."; the new macro_id, or 0 when
// the file cannot be read, is not a macro file, or the store refused it.
int ImportMacro(Store& store, const std::filesystem::path& file);

// The name an imported file gives: its file name up to the first ".".
std::u16string ImportedName(const std::filesystem::path& file);

} // namespace vantrel
