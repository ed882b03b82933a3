#include "app/store/sqlite_db.h"

#include "app/core/text_encoding.h"

#include <system_error>

namespace vantrel {
namespace {

constexpr const char* kSchema[] = {
    "CREATE TABLE IF NOT EXISTS t_configdata(config_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, "
    "key TEXT, value TEXT)",
    "CREATE TABLE IF NOT EXISTS t_profile_data(profile INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, "
    "status INTEGER, app TEXT, type INTEGER)",
    "CREATE INDEX IF NOT EXISTS profileindex ON t_profile_data(profile)",
    "CREATE TABLE IF NOT EXISTS t_key_macro_data(key_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, "
    "fn_layer INTEGER, key_code INTEGER, layout_value INTEGER, layout_desc TEXT, macro_type INTEGER, "
    "macro_value INTEGER, macro_value2 INTEGER, macro_value3 INTEGER, macro_desc TEXT)",
    "CREATE INDEX IF NOT EXISTS keyindex ON t_key_macro_data(key_id)",
    "CREATE TABLE IF NOT EXISTS t_key_otherdata(macro_value INTEGER PRIMARY KEY AUTOINCREMENT, macro_desc TEXT, "
    "param TEXT, type INTEGER)",
    "CREATE INDEX IF NOT EXISTS otheridindex ON t_key_otherdata(macro_value)",
    "CREATE TABLE IF NOT EXISTS t_macro_data(macro_id INTEGER PRIMARY KEY AUTOINCREMENT, play_times INTEGER, "
    "delay_type INTEGER, delay_time INTEGER, link_count INTEGER, name TEXT)",
    "CREATE INDEX IF NOT EXISTS macroidindex ON t_macro_data(macro_id)",
    "CREATE TABLE IF NOT EXISTS t_macrorecord(record_id INTEGER PRIMARY KEY AUTOINCREMENT, macro_id INTEGER, "
    "type INTEGER, record_index INTEGER, desc TEXT, value INTEGER, delay_time INTEGER)",
    "CREATE INDEX IF NOT EXISTS macrorecordindex ON t_macrorecord(record_id)",
    "CREATE TABLE IF NOT EXISTS t_light_data(light_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, "
    "name TEXT, mode INTEGER, brightness INTEGER, speed INTEGER, direction INTEGER, colorful INTEGER, "
    "colorindex INTEGER, color_value INTEGER, config_func INTEGER, reserved INTEGER, status INTEGER)",
    "CREATE INDEX IF NOT EXISTS lightindex ON t_light_data(light_id)",
    "CREATE TABLE IF NOT EXISTS t_key_light_data(keylight_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, "
    "light_id INTEGER, key_code INTEGER, key_rgb INTEGER)",
    "CREATE INDEX IF NOT EXISTS keylightindex ON t_key_light_data(keylight_id)",
    "CREATE TABLE IF NOT EXISTS t_musiclayer_data(layer_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, "
    "name TEXT, deviceindex INTEGER, foremode INTEGER, fore_amplitude INTEGER, backmode INTEGER, "
    "backb_right INTEGER, sel INTEGER)",
    "CREATE INDEX IF NOT EXISTS musiclayerindex ON t_musiclayer_data(layer_id)",
};
static_assert(std::size(kSchema) == 17);

int QueryInt(sqlite3* db, const char* sql, int* value) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            *value = sqlite3_column_int(st, 0);
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(st);
    return rc;
}

// The files are small (a few hundred rows), so a full page check on open costs little and keeps
// a damaged file from being written to.
bool PassesQuickCheck(sqlite3* db) {
    sqlite3_stmt* st = nullptr;
    bool ok = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &st, nullptr) == SQLITE_OK &&
              sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0) &&
              std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) == "ok";
    sqlite3_finalize(st);
    return ok;
}

} // namespace

SQLiteDB::~SQLiteDB() {
    if (connection_) sqlite3_interrupt(connection_);
    CloseLocked();
}

SQLiteDB& SQLiteDB::GetDatabase() {
    static SQLiteDB database; // construction is thread-safe
    return database;
}

std::filesystem::path SQLiteDB::ModelFile(const std::filesystem::path& dataFolder, std::u16string_view modelName) {
    std::string name = WideToUtf8(modelName);
    for (char& c : name)
        if (c == '/' || c == '\0') c = '_';
    return dataFolder / "db" / (name + "_data_v3.db");
}

bool SQLiteDB::IsOpen() const {
    return connection_ != nullptr;
}

void SQLiteDB::CloseLocked() {
    if (connection_ && sqlite3_close(connection_) == SQLITE_OK) connection_ = nullptr;
    if (connection_) { // statements left open: close when they are gone
        sqlite3_close_v2(connection_);
        connection_ = nullptr;
    }
}

void SQLiteDB::Close() {
    std::lock_guard lock(storeLock_);
    if (connection_) sqlite3_interrupt(connection_);
    CloseLocked();
    opened_ = false;
}

bool SQLiteDB::OpenFile(const std::string& path, int flags) {
    if (connection_) sqlite3_interrupt(connection_);
    CloseLocked();
    if (sqlite3_open_v2(path.c_str(), &connection_, flags | SQLITE_OPEN_FULLMUTEX, nullptr) != SQLITE_OK) {
        sqlite3_close(connection_);
        connection_ = nullptr;
        return false;
    }
    sqlite3_busy_timeout(connection_, 2000);
    // A file that is not a database, is damaged or comes from a newer program: refuse it, untouched.
    int version = 0;
    if (QueryInt(connection_, "PRAGMA user_version", &version) != SQLITE_OK || version > kSchemaVersion ||
        !PassesQuickCheck(connection_)) {
        CloseLocked();
        return false;
    }
    // Write-ahead log with normal syncing: a crash or power loss loses at most the last
    // transactions, never the file. A read-only file keeps its journal mode and stays readable.
    sqlite3_exec(connection_, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(connection_, "PRAGMA synchronous = NORMAL", nullptr, nullptr, nullptr);
    return true;
}

bool SQLiteDB::CreateSchema() {
    if (!OpenFile(path_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) return false;
    bool ok = true;
    for (const char* statement : kSchema)
        if (sqlite3_exec(connection_, statement, nullptr, nullptr, nullptr) != SQLITE_OK) ok = false;
    std::string version = "PRAGMA user_version = " + std::to_string(kSchemaVersion);
    if (sqlite3_exec(connection_, version.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) ok = false;
    return ok;
}

bool SQLiteDB::OpenForModel(const std::filesystem::path& dataFolder, std::u16string_view modelName, int modelType) {
    std::lock_guard lock(storeLock_);
    path_ = ModelFile(dataFolder, modelName).string();
    modelType_ = modelType;
    std::error_code ec;
    if (std::filesystem::exists(path_, ec))
        opened_ = OpenFile(path_, SQLITE_OPEN_READWRITE);
    else
        opened_ = !ec && CreateSchema();
    return opened_;
}

bool SQLiteDB::DeleteModelFile(const std::filesystem::path& dataFolder, std::u16string_view modelName) {
    const std::filesystem::path file = ModelFile(dataFolder, modelName);
    std::error_code ec;
    for (const char* suffix : {"-wal", "-shm"}) std::filesystem::remove(file.string() + suffix, ec);
    return std::filesystem::remove(file, ec);
}

int SQLiteDB::Execute(const char* sql) {
    if (!connection_) return kSqliteMisuse;
    return sqlite3_exec(connection_, sql, nullptr, nullptr, nullptr);
}

long long SQLiteDB::LastInsertId() {
    return connection_ ? sqlite3_last_insert_rowid(connection_) : -1;
}

SQLiteStatement::~SQLiteStatement() {
    sqlite3_finalize(statement_);
}

int SQLiteStatement::Prepare(const char* sql) {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
    done_ = true;
    if (!db_.Connection() || !sql) return kSqliteMisuse;
    int rc = sqlite3_prepare_v2(db_.Connection(), sql, -1, &statement_, nullptr);
    done_ = rc != SQLITE_OK;
    return rc;
}

int SQLiteStatement::BindInt(int index, int value) {
    return statement_ ? sqlite3_bind_int(statement_, index, value) : kSqliteMisuse;
}

int SQLiteStatement::BindText(int index, std::u16string_view text) {
    if (!statement_) return kSqliteMisuse;
    std::string utf8 = WideToUtf8(text);
    return sqlite3_bind_text(statement_, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

int SQLiteStatement::Step() {
    if (!statement_) return kSqliteMisuse;
    int rc = sqlite3_step(statement_);
    if (rc == SQLITE_DONE) done_ = true;
    return rc;
}

int SQLiteStatement::ColumnInt(int index) {
    return statement_ ? sqlite3_column_int(statement_, index) : 0;
}

std::u16string SQLiteStatement::ColumnText(int index) {
    if (!statement_) return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, index));
    if (!text) return {};
    return Utf8ToWide(std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(statement_, index))));
}

SQLiteAutoTransaction::SQLiteAutoTransaction(SQLiteDB& db) : db_(db) {
    active_ = db_.Execute("BEGIN") == SQLITE_OK;
}

SQLiteAutoTransaction::~SQLiteAutoTransaction() {
    if (active_) End();
}

bool SQLiteAutoTransaction::End() {
    if (!active_) return false;
    active_ = false;
    return db_.Execute("END") == SQLITE_OK;
}

} // namespace vantrel
