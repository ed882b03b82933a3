// Thin owners of the SQLite connection and statements of the profile database.
//
// One database file per keyboard model: "<data folder>/db/<model name>_data_v3.db". Every data
// operation holds the store lock from its first statement to its last (see Store); opening and
// closing take it too, so that a device task never runs a statement on a connection that a model
// switch or a factory reset is replacing.
#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

namespace vantrel {

inline constexpr int kSqliteMisuse = SQLITE_MISUSE; // 21: the wrappers' failure value

class SQLiteDB {
public:
    SQLiteDB() = default;
    virtual ~SQLiteDB();
    SQLiteDB(const SQLiteDB&) = delete;
    SQLiteDB& operator=(const SQLiteDB&) = delete;

    // The process-wide database, made on first use.
    static SQLiteDB& GetDatabase();

    static std::filesystem::path ModelFile(const std::filesystem::path& dataFolder, std::u16string_view modelName);

    // Opens the model's file, or creates it with the schema when it does not exist. A file that is
    // not a database, is damaged, or was written by a newer schema is refused (false) and left as
    // it is.
    bool OpenForModel(const std::filesystem::path& dataFolder, std::u16string_view modelName, int modelType = 0);
    void Close();
    // Removes the model's file (and its write-ahead log); the connection must be closed first.
    static bool DeleteModelFile(const std::filesystem::path& dataFolder, std::u16string_view modelName);

    bool IsOpen() const;
    bool Opened() const { return opened_; }
    int ModelType() const { return modelType_; }
    const std::string& Path() const { return path_; }

    // sqlite3_exec without a row handler; 21 without a connection.
    int Execute(const char* sql);
    // Row id of the last insert; -1 without a connection.
    long long LastInsertId();

    std::mutex& StoreLock() { return storeLock_; }
    sqlite3* Connection() { return connection_; }

    // The schema version this program writes; a file with a higher one is never opened.
    static constexpr int kSchemaVersion = 3;

private:
    bool OpenFile(const std::string& path, int flags);
    bool CreateSchema();
    void CloseLocked();

    sqlite3* connection_ = nullptr;
    std::mutex storeLock_;
    std::string path_;
    int modelType_ = 0;
    bool opened_ = false;
};

class SQLiteStatement {
public:
    explicit SQLiteStatement(SQLiteDB& db) : db_(db) {}
    virtual ~SQLiteStatement();
    SQLiteStatement(const SQLiteStatement&) = delete;
    SQLiteStatement& operator=(const SQLiteStatement&) = delete;

    int Prepare(const char* sql);
    int BindInt(int index, int value);
    int BindText(int index, std::u16string_view text);
    int Step();
    int ColumnInt(int index);
    std::u16string ColumnText(int index);
    bool Done() const { return done_; }

private:
    SQLiteDB& db_;
    sqlite3_stmt* statement_ = nullptr;
    bool done_ = true;
};

// BEGIN on construction, END on End() or destruction.
class SQLiteAutoTransaction {
public:
    explicit SQLiteAutoTransaction(SQLiteDB& db);
    virtual ~SQLiteAutoTransaction();
    SQLiteAutoTransaction(const SQLiteAutoTransaction&) = delete;
    SQLiteAutoTransaction& operator=(const SQLiteAutoTransaction&) = delete;
    bool End();

private:
    SQLiteDB& db_;
    bool active_ = false;
};

} // namespace vantrel
