#include "app/macros/macros.h"

#include <algorithm>

namespace vantrel {
namespace {

constexpr std::u16string_view kStoredPrefix = u"Macro";
constexpr int kSpanish = 1034;
constexpr int kDefaultFixedDelay = 10;

} // namespace

Macros::Macros(Store& store, const LanguageTexts& texts, const NameFilter& filter)
    : store_(store), texts_(texts), filter_(filter) {}

std::u16string Macros::BaseName() const {
    std::u16string base = texts_.GetLanguageText(kMacroBaseText);
    return base.empty() ? std::u16string(kStoredPrefix) : base;
}

std::vector<std::u16string> Macros::Names() {
    std::vector<MacroRecord> macros;
    store_.ListMacros(&macros);
    std::vector<std::u16string> names;
    for (MacroRecord& m : macros) names.push_back(std::move(m.name));
    return names;
}

std::optional<MacroRecord> Macros::FindByName(std::u16string_view name) {
    std::vector<MacroRecord> macros;
    store_.ListMacros(&macros);
    for (MacroRecord& m : macros)
        if (m.name == name || DisplayName(m.name) == name) return m;
    return std::nullopt;
}

std::u16string Macros::DisplayName(std::u16string_view stored) const {
    if (texts_.LanguageId() == kSpanish && stored.substr(0, kStoredPrefix.size()) == kStoredPrefix)
        return texts_.GetLanguageText(kMacroBaseText) + std::u16string(stored.substr(kStoredPrefix.size()));
    return std::u16string(stored);
}

int Macros::Create() {
    return store_.InsertMacro(UniqueListName(BaseName(), Names()));
}

int Macros::Duplicate(int macroId) {
    MacroRecord source;
    if (!store_.GetMacro(macroId, &source)) return 0;
    MacroRecord copy = source;
    copy.name = UniqueListName(source.name + u" -", Names());
    const int id = store_.InsertMacroRecord(copy);
    if (id == 0) return 0;
    std::vector<MacroEventRecord> events;
    store_.ListMacroEvents(macroId, &events);
    for (MacroEventRecord& e : events) e.macro_id = id;
    store_.InsertMacroEvents(events);
    return id;
}

RenameResult Macros::Rename(int macroId, std::u16string_view name) {
    if (name.empty()) return RenameResult::kEmpty;
    if (!filter_.Allows(name)) return RenameResult::kFiltered;
    return store_.RenameMacro(macroId, name) ? RenameResult::kRenamed : RenameResult::kFailed;
}

bool Macros::Delete(int macroId) {
    return store_.DeleteMacro(macroId);
}

bool Macros::SaveSettings(int macroId, int playTimes, int delayMode, int fixedDelay) {
    MacroRecord r;
    r.macro_id = macroId;
    r.play_times = std::clamp(playTimes, 1, 99);
    r.delay_type = delayMode;
    r.delay_time = delayMode == 3 ? fixedDelay : kDefaultFixedDelay;
    return store_.UpdateMacroPlayback(r);
}

bool Macros::SaveEvents(int macroId, std::vector<MacroEventRecord> events) {
    if (!store_.DeleteMacroEvents(macroId)) return false;
    for (size_t i = 0; i < events.size(); ++i) {
        events[i].macro_id = macroId;
        events[i].record_index = static_cast<int>(i);
    }
    store_.InsertMacroEvents(events);
    return true;
}

int Macros::CountActions(int macroId) {
    return store_.CountMacroActions(macroId);
}

} // namespace vantrel
