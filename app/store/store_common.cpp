// The statement helpers shared by the Store operations.
#include "app/store/store.h"

#include <climits>

namespace vantrel {

void Store::Bind(SQLiteStatement& st, std::initializer_list<Value> values) {
    int index = 1;
    for (const Value& v : values) {
        if (v.isText)
            st.BindText(index++, v.text);
        else
            st.BindInt(index++, v.number);
    }
}

bool Store::Write(const char* sql, std::initializer_list<Value> values) {
    SQLiteStatement st(db_);
    if (st.Prepare(sql) != SQLITE_OK) return false;
    Bind(st, values);
    int rc = st.Step();
    return rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE;
}

int Store::Insert(const char* sql, std::initializer_list<Value> values) {
    if (!Write(sql, values)) return 0;
    long long id = db_.LastInsertId();
    return id > 0 && id <= INT_MAX ? static_cast<int>(id) : 0;
}

int Store::ReadInt(const char* sql, std::initializer_list<Value> values, int fallback) {
    SQLiteStatement st(db_);
    if (st.Prepare(sql) != SQLITE_OK) return fallback;
    Bind(st, values);
    return st.Step() == SQLITE_ROW ? st.ColumnInt(0) : fallback;
}

void Store::WriteDefaultSettings() {
    static constexpr const char16_t* kRows[][2] = {
        {u"version", u"1.0.1"},       {u"keyboard_layout", u"1"}, {u"fn_layer", u"0"},
        {u"lightmode", u"1"},         {u"sleep_light", u"1"},     {u"userlight", u"0"},
        {u"customlight_run", u"0"},   {u"gamemode", u"0"},        {u"disable_alttab", u"0"},
        {u"disable_altf4", u"0"},     {u"disable_win", u"0"},
    };
    std::lock_guard lock(db_.StoreLock());
    SQLiteAutoTransaction transaction(db_);
    for (const auto& row : kRows)
        Write("INSERT INTO t_configdata(profile, key, value) VALUES (?, ?, ?);", {1, row[0], row[1]});
}

} // namespace vantrel
