// Macro exchange files: one macro with its settings and events, as XML.
#pragma once

#include "app/store/store.h"

#include <filesystem>
#include <vector>

namespace vantrel {

class XmlDocument;

// Writes the macro to the file; false when it does not exist or the file cannot be written.
bool ExportMacro(Store& store, int macroId, const std::filesystem::path& file);

// Adds the file's macro, named after the file up to its first "."; the new macro_id, or 0 when
// the file cannot be read, is not a macro file, or the store refused it.
int ImportMacro(Store& store, const std::filesystem::path& file);

// The name an imported file gives: its file name up to the first ".".
std::u16string ImportedName(const std::filesystem::path& file);

// The "item" elements of a macro's events, written at and read from the cursor's level; shared
// by the macro and the profile exchange files.
void WriteMacroItems(XmlDocument& doc, const std::vector<MacroEventRecord>& events);
std::vector<MacroEventRecord> ReadMacroItems(XmlDocument& doc, int macroId);

// Decimal text of a number, as every attribute of the exchange files is written.
std::u16string DecimalText(int number);

} // namespace vantrel
