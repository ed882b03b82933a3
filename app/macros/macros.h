// The macro list of one keyboard model: create, duplicate, rename, delete, settings and events.
// The macro page and vantrelctl both use it.
#pragma once

#include "app/core/language.h"
#include "app/store/name_rules.h"
#include "app/store/store.h"

#include <optional>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr int kMacroBaseText = 331;
inline constexpr int kMacroFilteredText = 621;
inline constexpr int kEmptyNameText = 330;
inline constexpr int kMaxMacroActions = 80;
inline constexpr int kMacroDelayEvent = 1;
inline constexpr int kMacroPress = 2;
inline constexpr int kMacroRelease = 3;

enum class RenameResult { kRenamed, kEmpty, kFiltered, kFailed };

class Macros {
public:
    Macros(Store& store, const LanguageTexts& texts, const NameFilter& filter);

    // Returns the new macro_id or 0.
    int Create();
    int Duplicate(int macroId);
    RenameResult Rename(int macroId, std::u16string_view name);
    bool Delete(int macroId);
    // Repeat count clamped to 1..99; the fixed delay is kept for mode 3, else 10 is stored.
    bool SaveSettings(int macroId, int playTimes, int delayMode, int fixedDelay);
    // Replaces the events; record_index runs 0, 1, 2, … in the given order.
    bool SaveEvents(int macroId, std::vector<MacroEventRecord> events);
    int CountActions(int macroId);
    // The names of the list, as stored.
    std::vector<std::u16string> Names();
    // Spanish shows "Macro…" names with text 331 in its place; the stored name is unchanged.
    std::u16string DisplayName(std::u16string_view stored) const;
    std::optional<MacroRecord> FindByName(std::u16string_view name);

private:
    std::u16string BaseName() const;

    Store& store_;
    const LanguageTexts& texts_;
    const NameFilter& filter_;
};

} // namespace vantrel
