#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace vesk::data_access::detail {

// One embedded database session, shared by the backend and its cursors. After Close the
// handle refuses use; statements still held by cursors are finalised when they go.
class SqliteDatabase {
public:
    SqliteDatabase(sqlite3* handle, std::string path);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // The engine handle; throws DataAccessError when the session is closed.
    sqlite3* Handle() const;
    bool IsOpen() const { return m_open; }
    void Close();
    const std::string& Path() const { return m_path; }

    // Throws DataAccessError: `context`, then the engine's last message and code.
    [[noreturn]] void ThrowLastError(std::string_view context, std::string_view sql = {}) const;
    // Runs statements that return nothing (pragmas, savepoints); throws on failure.
    void Run(std::string_view sql) const;

private:
    sqlite3* m_handle;
    std::string m_path;
    bool m_open = true;
};

using SqliteDatabasePtr = std::shared_ptr<SqliteDatabase>;

// A prepared statement, finalised on destruction. Holds no lock once Step has returned false
// or Reset was called.
class SqliteStatement {
public:
    SqliteStatement(const SqliteDatabase& database, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    sqlite3_stmt* Handle() const { return m_statement; }
    const std::string& Sql() const { return m_sql; }
    // Text after the first statement, blanks and semicolons removed.
    const std::string& Tail() const { return m_tail; }
    // Advances: true when a row is ready, false when done. Throws DataAccessError.
    bool Step();
    // Resets the statement and clears its parameters.
    void Reset();
    void BindInt64(int index, std::int64_t value);
    void BindText(int index, std::string_view value);
    void BindBlob(int index, std::span<const std::uint8_t> value);
    void BindNull(int index);
    void BindZeroBlob(int index, std::int64_t size);
    std::int64_t ColumnInt64(int index) const;
    std::string ColumnText(int index) const;

private:
    const SqliteDatabase& m_database;
    sqlite3_stmt* m_statement = nullptr;
    std::string m_sql;
    std::string m_tail;
};

// A savepoint that rolls back in its destructor unless released. Nests inside transactions.
class SqliteSavepoint {
public:
    explicit SqliteSavepoint(const SqliteDatabase& database);
    ~SqliteSavepoint();
    SqliteSavepoint(const SqliteSavepoint&) = delete;
    SqliteSavepoint& operator=(const SqliteSavepoint&) = delete;

    void Release();

private:
    const SqliteDatabase& m_database;
    bool m_released = false;
};

}  // namespace vesk::data_access::detail
