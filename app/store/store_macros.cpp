// Macros and their events.
#include "app/store/store.h"

namespace vantrel {
namespace {

constexpr const char* kInsertMacro =
    "INSERT INTO t_macro_data(play_times, delay_type, delay_time, link_count, name) VALUES (?, ?, ?, ?, ?);";
constexpr const char* kInsertEvent =
    "INSERT INTO t_macrorecord(macro_id, type, record_index, desc, value, delay_time) \t\t\t\t\t VALUES (?, ?, ?, "
    "?, ?, ?);";
constexpr const char* kListEvents = "SELECT * FROM t_macrorecord WHERE macro_id = ? ORDER BY record_index ASC";
constexpr int kDelayEventType = 1;

void ReadMacro(SQLiteStatement& st, MacroRecord* r) {
    r->macro_id = st.ColumnInt(0);
    r->play_times = st.ColumnInt(1);
    r->delay_type = st.ColumnInt(2);
    r->delay_time = st.ColumnInt(3);
    r->link_count = st.ColumnInt(4);
    r->name = st.ColumnText(5);
}

} // namespace

int Store::InsertMacro(std::u16string_view name) {
    std::lock_guard lock(db_.StoreLock());
    return Insert(kInsertMacro, {1, 1, 0, 0, name});
}

int Store::InsertMacroRecord(const MacroRecord& r) {
    std::lock_guard lock(db_.StoreLock());
    return Insert(kInsertMacro, {r.play_times, r.delay_type, r.delay_time, r.link_count, r.name});
}

bool Store::RenameMacro(int macroId, std::u16string_view name) {
    std::lock_guard lock(db_.StoreLock());
    return Write("UPDATE t_macro_data SET name = ? WHERE macro_id = ?", {name, macroId});
}

bool Store::UpdateMacroPlayback(const MacroRecord& r) {
    std::lock_guard lock(db_.StoreLock());
    return Write("UPDATE t_macro_data SET play_times = ?, delay_type = ?, \t\t\t\t\t delay_time = ? WHERE macro_id = ?",
                 {r.play_times, r.delay_type, r.delay_time, r.macro_id});
}

bool Store::DeleteMacro(int macroId) {
    std::lock_guard lock(db_.StoreLock());
    // All three or none: no key may be left pointing at a macro that is gone.
    SQLiteAutoTransaction transaction(db_);
    if (!Write("DELETE FROM t_macro_data WHERE macro_id = ?", {macroId})) return false;
    Write("DELETE FROM t_macrorecord WHERE macro_id = ?", {macroId});
    return Write("DELETE FROM t_key_macro_data WHERE macro_type = ? and macro_value = ?", {kMacroFunctionKind, macroId}) &&
           transaction.End();
}

bool Store::GetPlayTimes(int macroId, int* playTimes) {
    std::lock_guard lock(db_.StoreLock());
    SQLiteStatement st(db_);
    if (st.Prepare("SELECT play_times FROM t_macro_data WHERE macro_id = ?") != SQLITE_OK) return false;
    Bind(st, {macroId});
    if (st.Step() != SQLITE_ROW) return false;
    *playTimes = st.ColumnInt(0);
    return true;
}

bool Store::GetMacro(int macroId, MacroRecord* out) {
    std::lock_guard lock(db_.StoreLock());
    SQLiteStatement st(db_);
    if (st.Prepare("SELECT * FROM t_macro_data WHERE macro_id = ?") != SQLITE_OK) return false;
    Bind(st, {macroId});
    if (st.Step() != SQLITE_ROW) return false;
    ReadMacro(st, out);
    return true;
}

int Store::ListMacros(std::vector<MacroRecord>* out) {
    std::lock_guard lock(db_.StoreLock());
    out->clear();
    SQLiteStatement st(db_);
    if (st.Prepare("SELECT * FROM t_macro_data") != SQLITE_OK) return 0;
    while (st.Step() == SQLITE_ROW) {
        MacroRecord r;
        ReadMacro(st, &r);
        out->push_back(std::move(r));
    }
    return static_cast<int>(out->size());
}

int Store::InsertMacroEvent(const MacroEventRecord& r) {
    std::lock_guard lock(db_.StoreLock());
    return Insert(kInsertEvent, {r.macro_id, r.type, r.record_index, r.desc, r.value, r.delay_time});
}

void Store::InsertMacroEvents(const std::vector<MacroEventRecord>& records) {
    std::lock_guard lock(db_.StoreLock());
    SQLiteAutoTransaction transaction(db_);
    for (const MacroEventRecord& r : records)
        Insert(kInsertEvent, {r.macro_id, r.type, r.record_index, r.desc, r.value, r.delay_time});
}

int Store::ListMacroEvents(int macroId, std::vector<MacroEventRecord>* out) {
    std::lock_guard lock(db_.StoreLock());
    out->clear();
    SQLiteStatement st(db_);
    if (st.Prepare(kListEvents) != SQLITE_OK) return 0;
    Bind(st, {macroId});
    while (st.Step() == SQLITE_ROW) {
        MacroEventRecord r;
        r.record_id = st.ColumnInt(0);
        r.macro_id = st.ColumnInt(1);
        r.type = st.ColumnInt(2);
        r.record_index = st.ColumnInt(3);
        r.desc = st.ColumnText(4);
        r.value = st.ColumnInt(5);
        r.delay_time = st.ColumnInt(6);
        out->push_back(std::move(r));
    }
    return static_cast<int>(out->size());
}

bool Store::DeleteMacroEvents(int macroId) {
    std::lock_guard lock(db_.StoreLock());
    return Write("DELETE FROM t_macrorecord WHERE macro_id = ?", {macroId});
}

int Store::CountMacroActions(int macroId) {
    std::lock_guard lock(db_.StoreLock());
    SQLiteStatement st(db_);
    if (st.Prepare(kListEvents) != SQLITE_OK) return 0;
    Bind(st, {macroId});
    int count = 0;
    while (st.Step() == SQLITE_ROW)
        if (st.ColumnInt(2) != kDelayEventType) ++count;
    return count;
}

} // namespace vantrel
