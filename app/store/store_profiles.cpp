// Profiles and key functions.
#include "app/store/store.h"

namespace vantrel {
namespace {

void ReadKeyFunction(SQLiteStatement& st, KeyFunctionRecord* r) {
    r->key_id = st.ColumnInt(0);
    r->profile = st.ColumnInt(1);
    r->fn_layer = st.ColumnInt(2);
    r->key_code = st.ColumnInt(3);
    r->layout_value = st.ColumnInt(4);
    r->layout_desc = st.ColumnText(5);
    r->macro_type = st.ColumnInt(6);
    r->macro_value = st.ColumnInt(7);
    r->macro_value2 = st.ColumnInt(8);
    r->macro_value3 = st.ColumnInt(9);
    r->macro_desc = st.ColumnText(10);
}

} // namespace

int Store::InsertProfile(std::u16string_view name, std::u16string_view app) {
    std::lock_guard lock(db_.StoreLock());
    return Insert("INSERT INTO t_profile_data(name, status, app, type) VALUES (?, ?, ?, ?);", {name, 0, app, 0});
}

bool Store::DeleteProfile(int profile) {
    std::lock_guard lock(db_.StoreLock());
    return Write("DELETE FROM t_profile_data WHERE profile = ?", {profile});
}

bool Store::RenameProfile(int profile, std::u16string_view name) {
    std::lock_guard lock(db_.StoreLock());
    return Write("UPDATE t_profile_data SET name = ? WHERE profile = ?", {name, profile});
}

bool Store::GetProfileName(int profile, std::u16string* name) {
    std::lock_guard lock(db_.StoreLock());
    name->clear();
    SQLiteStatement st(db_);
    if (st.Prepare("SELECT name FROM t_profile_data WHERE profile = ?") != SQLITE_OK) return false;
    Bind(st, {profile});
    if (st.Step() != SQLITE_ROW) return false;
    *name = st.ColumnText(0);
    return true;
}

int Store::ListProfiles(std::vector<ProfileRecord>* out) {
    std::lock_guard lock(db_.StoreLock());
    out->clear();
    SQLiteStatement st(db_);
    if (st.Prepare("SELECT * FROM t_profile_data") != SQLITE_OK) return 0;
    while (st.Step() == SQLITE_ROW) {
        ProfileRecord r;
        r.profile = st.ColumnInt(0);
        r.name = st.ColumnText(1);
        r.status = st.ColumnInt(2);
        r.app = st.ColumnText(3);
        r.type = st.ColumnInt(4);
        out->push_back(std::move(r));
    }
    return static_cast<int>(out->size());
}

bool Store::ActivateProfile(int profile) {
    std::lock_guard lock(db_.StoreLock());
    // One transaction, so that a crash between the two never leaves no profile active.
    SQLiteAutoTransaction transaction(db_);
    Write("UPDATE t_profile_data SET status = ?", {0});
    return Write("UPDATE t_profile_data SET status = ? WHERE profile = ?", {1, profile}) && transaction.End();
}

int Store::GetActiveProfile() {
    std::lock_guard lock(db_.StoreLock());
    return ReadInt("SELECT profile FROM t_profile_data WHERE status = ?", {1}, 0);
}

int Store::SaveKeyFunction(const KeyFunctionRecord& r) {
    if (r.key_code == 0) return 0;
    std::lock_guard lock(db_.StoreLock());
    // Delete and insert together: a crash in between must not lose the assignment.
    SQLiteAutoTransaction transaction(db_);
    if (!Write("DELETE FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?",
               {r.profile, r.fn_layer, r.key_code}))
        return 0;
    if (r.macro_value == 0 && r.macro_value2 == 0) return 0;
    int id = Insert("INSERT INTO t_key_macro_data(profile, fn_layer, key_code, layout_value, layout_desc,                     "
                    "macro_type, macro_value, macro_value2, macro_value3, macro_desc) \t\t\t\t\t VALUES (?, ?, ?, ?, "
                    "?, ?, ?, ?, ?, ?);",
                    {r.profile, r.fn_layer, r.key_code, r.layout_value, r.layout_desc, r.macro_type, r.macro_value,
                     r.macro_value2, r.macro_value3, r.macro_desc});
    return transaction.End() ? id : 0;
}

bool Store::GetKeyFunction(int profile, int fnLayer, int keyCode, KeyFunctionRecord* out) {
    std::lock_guard lock(db_.StoreLock());
    SQLiteStatement st(db_);
    if (st.Prepare("SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?") != SQLITE_OK)
        return false;
    Bind(st, {profile, fnLayer, keyCode});
    if (st.Step() != SQLITE_ROW) return false;
    ReadKeyFunction(st, out);
    return true;
}

int Store::ListKeyFunctions(int profile, int fnLayer, std::vector<KeyFunctionRecord>* out) {
    std::lock_guard lock(db_.StoreLock());
    out->clear();
    SQLiteStatement st(db_);
    if (st.Prepare("SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ?") != SQLITE_OK) return 0;
    Bind(st, {profile, fnLayer});
    while (st.Step() == SQLITE_ROW) {
        KeyFunctionRecord r;
        ReadKeyFunction(st, &r);
        out->push_back(std::move(r));
    }
    return static_cast<int>(out->size());
}

void Store::DeleteProfileKeyFunctions(int profile) {
    std::lock_guard lock(db_.StoreLock());
    Write("DELETE FROM t_key_macro_data WHERE profile = ?", {profile});
}

int Store::InsertOtherData(std::u16string_view macroDesc, std::u16string_view param, int type) {
    std::lock_guard lock(db_.StoreLock());
    return Insert("INSERT INTO t_key_otherdata(macro_desc, param, type) VALUES (?, ?, ?);", {macroDesc, param, type});
}

bool Store::GetOtherData(int macroValue, std::u16string* macroDesc, std::u16string* param, int* type) {
    std::lock_guard lock(db_.StoreLock());
    SQLiteStatement st(db_);
    if (st.Prepare("SELECT macro_desc, param, type FROM t_key_otherdata WHERE macro_value = ?") != SQLITE_OK)
        return false;
    Bind(st, {macroValue});
    if (st.Step() == SQLITE_ROW) {
        *macroDesc = st.ColumnText(0);
        *param = st.ColumnText(1);
        *type = st.ColumnInt(2);
    }
    return true;
}

} // namespace vantrel
