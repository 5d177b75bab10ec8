#include "sqlite/sqlite_handle.h"

#include <sqlite3.h>

#include <fmt/format.h>

#include "text_util.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {

SqliteDatabase::SqliteDatabase(sqlite3* handle, std::string path)
    : m_handle(handle), m_path(std::move(path)) {}

SqliteDatabase::~SqliteDatabase() {
    Close();
}

sqlite3* SqliteDatabase::Handle() const {
    if (!m_open) {
        throw DataAccessError("Operation is not allowed when the object is closed.");
    }
    return m_handle;
}

void SqliteDatabase::Close() {
    if (m_open) {
        m_open = false;
        sqlite3_close_v2(m_handle);
    }
}

void SqliteDatabase::ThrowLastError(std::string_view context, std::string_view sql) const {
    int code = sqlite3_extended_errcode(m_handle);
    std::string message = sqlite3_errmsg(m_handle);
    throw DataAccessError(fmt::format("{}: {}", context, message), code, std::string(sql));
}

void SqliteDatabase::Run(std::string_view sql) const {
    std::string text(sql);
    if (sqlite3_exec(Handle(), text.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        ThrowLastError(fmt::format("Cannot run \"{}\"", sql), sql);
    }
}

SqliteStatement::SqliteStatement(const SqliteDatabase& database, std::string_view sql)
    : m_database(database), m_sql(sql) {
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(database.Handle(), m_sql.c_str(), static_cast<int>(m_sql.size()),
                           &m_statement, &tail) != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        database.ThrowLastError(fmt::format("Cannot run \"{}\"", Trim(sql)), sql);
    }
    std::string_view rest = tail ? std::string_view(tail) : std::string_view();
    while (!rest.empty() && (rest.front() == ';' || Trim(rest.substr(0, 1)).empty())) {
        rest.remove_prefix(1);
    }
    m_tail = std::string(rest);
    if (!m_statement) {
        throw DataAccessError(fmt::format("The statement is empty: \"{}\"", sql), SQLITE_MISUSE,
                              std::string(sql));
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_statement);
}

bool SqliteStatement::Step() {
    m_database.Handle();  // refuses a closed session
    int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW) {
        return true;
    }
    if (result == SQLITE_DONE) {
        sqlite3_reset(m_statement);
        return false;
    }
    sqlite3_reset(m_statement);
    m_database.ThrowLastError(fmt::format("Cannot run \"{}\"", Trim(m_sql)), m_sql);
}

void SqliteStatement::Reset() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

void SqliteStatement::BindInt64(int index, std::int64_t value) {
    sqlite3_bind_int64(m_statement, index, value);
}

void SqliteStatement::BindText(int index, std::string_view value) {
    sqlite3_bind_text64(m_statement, index, value.data(), value.size(), SQLITE_TRANSIENT,
                        SQLITE_UTF8);
}

void SqliteStatement::BindBlob(int index, std::span<const std::uint8_t> value) {
    static const std::uint8_t kEmpty = 0;
    sqlite3_bind_blob64(m_statement, index, value.empty() ? &kEmpty : value.data(), value.size(),
                        SQLITE_TRANSIENT);
}

void SqliteStatement::BindNull(int index) {
    sqlite3_bind_null(m_statement, index);
}

void SqliteStatement::BindZeroBlob(int index, std::int64_t size) {
    if (sqlite3_bind_zeroblob64(m_statement, index, static_cast<sqlite3_uint64>(size)) !=
        SQLITE_OK) {
        m_database.ThrowLastError(fmt::format("Cannot make room for a value of {} bytes", size));
    }
}

std::int64_t SqliteStatement::ColumnInt64(int index) const {
    return sqlite3_column_int64(m_statement, index);
}

std::string SqliteStatement::ColumnText(int index) const {
    const unsigned char* text = sqlite3_column_text(m_statement, index);
    int size = sqlite3_column_bytes(m_statement, index);
    return text ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size))
                : std::string();
}

SqliteSavepoint::SqliteSavepoint(const SqliteDatabase& database) : m_database(database) {
    m_database.Run("SAVEPOINT vesk_change");
}

SqliteSavepoint::~SqliteSavepoint() {
    if (!m_released && m_database.IsOpen()) {
        sqlite3* handle = m_database.Handle();
        sqlite3_exec(handle, "ROLLBACK TO vesk_change; RELEASE vesk_change", nullptr, nullptr,
                     nullptr);
    }
}

void SqliteSavepoint::Release() {
    m_database.Run("RELEASE vesk_change");
    m_released = true;
}

}  // namespace vesk::data_access::detail
