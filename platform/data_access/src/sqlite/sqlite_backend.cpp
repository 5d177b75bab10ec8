#include "sqlite/sqlite_backend.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fmt/format.h>

#include "single_table_select.h"
#include "snapshot_cursor.h"
#include "sqlite/alter_column.h"
#include "sqlite/sqlite_keyset_cursor.h"
#include "sqlite/sqlite_values.h"
#include "text_util.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {

namespace {

constexpr int kBusyTimeoutMs = 5000;

std::vector<ColumnInfo> ResultColumns(sqlite3_stmt* statement) {
    std::vector<ColumnInfo> columns;
    int count = sqlite3_column_count(statement);
    for (int index = 0; index < count; ++index) {
        const char* name = sqlite3_column_name(statement, index);
        const char* declared = sqlite3_column_decltype(statement, index);
        ColumnInfo column;
        column.name = name ? name : "";
        column.declaredType = declared ? declared : "";
        column.type = ColumnTypeFromDeclared(column.declaredType);
        columns.push_back(std::move(column));
    }
    return columns;
}

SnapshotCursor::Rows ReadAllRows(SqliteStatement& statement,
                                 const std::vector<ColumnInfo>& columns) {
    SnapshotCursor::Rows rows;
    while (statement.Step()) {
        std::vector<StoredValue> row(columns.size());
        for (std::size_t column_idx = 0; column_idx < columns.size(); ++column_idx) {
            row[column_idx].value = ReadColumnValue(
                statement.Handle(), static_cast<int>(column_idx), columns[column_idx].type);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void RequireSingleStatement(const SqliteStatement& statement) {
    if (!statement.Tail().empty()) {
        throw DataAccessError(
            fmt::format(
                "Only one statement can be run at a time; found more after \"{}\"",
                Trim(statement.Sql().substr(0, statement.Sql().size() - statement.Tail().size()))),
            SQLITE_MISUSE, statement.Sql());
    }
}

// Proves the key by reading the schema: a wrong key (or no key for a keyed file) fails here.
void VerifyReadable(const SqliteDatabase& database, const ConnectionSettings& settings) {
    if (sqlite3_exec(database.Handle(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                     nullptr) == SQLITE_OK) {
        return;
    }
    int code = sqlite3_extended_errcode(database.Handle());
    std::string engineText = sqlite3_errmsg(database.Handle());
    if (code == SQLITE_NOTADB) {
        throw DataAccessError(
            settings.password.empty()
                ? fmt::format("Cannot open '{}': it is protected by a password or is not a "
                              "database file ({})",
                              settings.path, engineText)
                : fmt::format("Cannot open '{}': not a valid password, or not a database file ({})",
                              settings.path, engineText),
            code);
    }
    throw DataAccessError(fmt::format("Cannot open '{}': {}", settings.path, engineText), code);
}

// Opens the file `settings.path` under the name `name` (the path, or a URI naming it).
SqliteDatabasePtr OpenDatabaseFile(const ConnectionSettings& settings, const std::string& name,
                                   int flags) {
    sqlite3* handle = nullptr;
    int result = sqlite3_open_v2(name.c_str(), &handle, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    auto database = std::make_shared<SqliteDatabase>(handle, settings.path);
    if (result != SQLITE_OK) {
        database->ThrowLastError(fmt::format("Cannot open '{}'", settings.path));
    }
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_timeout(handle, kBusyTimeoutMs);
    if (!settings.password.empty() &&
        sqlite3_key(handle, settings.password.data(), static_cast<int>(settings.password.size())) !=
            SQLITE_OK) {
        database->ThrowLastError(fmt::format("Cannot apply the password to '{}'", settings.path));
    }
    VerifyReadable(*database, settings);
    return database;
}

SqliteDatabasePtr OpenDatabaseFile(const ConnectionSettings& settings) {
    return OpenDatabaseFile(settings, settings.path, SQLITE_OPEN_READWRITE);
}

// A file URI of `path`: every byte but unreserved ones percent-encoded, so that '?', '#' and
// '%' in a name stay part of it.
std::string FileUri(const std::string& path) {
    std::string uri = "file:";
    for (unsigned char byte : path) {
        if (std::isalnum(byte) || byte == '/' || byte == '-' || byte == '_' || byte == '.') {
            uri += static_cast<char>(byte);
        } else {
            uri += fmt::format("%{:02X}", byte);
        }
    }
    return uri;
}

}  // namespace

SqliteBackend::SqliteBackend(SqliteDatabasePtr database) : m_database(std::move(database)) {}

SqliteBackend::~SqliteBackend() {
    m_database->Close();
}

long SqliteBackend::Execute(std::string_view sql) {
    if (auto alter = ParseAlterColumn(sql)) {
        AlterColumnType(*m_database, *alter);
        return 0;
    }
    SqliteStatement statement(*m_database, sql);
    RequireSingleStatement(statement);
    sqlite3* handle = m_database->Handle();
    int changesBefore = sqlite3_total_changes(handle);
    while (statement.Step()) {
    }
    return sqlite3_total_changes(handle) - changesBefore;
}

std::unique_ptr<Cursor> SqliteBackend::OpenCursor(std::string_view sql, bool keyset) {
    if (auto alter = ParseAlterColumn(sql)) {
        AlterColumnType(*m_database, *alter);
        return nullptr;
    }
    SqliteStatement statement(*m_database, sql);
    RequireSingleStatement(statement);
    if (sqlite3_column_count(statement.Handle()) == 0) {
        while (statement.Step()) {
        }
        return nullptr;
    }
    if (keyset) {
        if (auto cursor = OpenKeysetCursor(statement)) {
            return cursor;
        }
    }
    return OpenSnapshotCursor(statement);
}

// A keyset needs every result column to be a column of the one table the statement reads,
// and the table to have row ids.
std::unique_ptr<Cursor> SqliteBackend::OpenKeysetCursor(SqliteStatement& statement) {
    auto select = ReadSingleTableSelect(statement.Sql());
    if (!select) {
        return nullptr;
    }
    sqlite3_stmt* handle = statement.Handle();
    std::vector<std::string> columnNames;
    for (int index = 0; index < sqlite3_column_count(handle); ++index) {
        const char* table = sqlite3_column_table_name(handle, index);
        const char* origin = sqlite3_column_origin_name(handle, index);
        if (!table || !origin || !EqualsIgnoringCase(table, select->table)) {
            return nullptr;
        }
        columnNames.emplace_back(origin);
    }
    std::string keyQuery =
        KeysetQuery(statement.Sql(), *select, {select->tableAsWritten + ".rowid"});
    try {
        SqliteStatement probe(*m_database, keyQuery);  // fails for tables without row ids
    } catch (const DataAccessError&) {
        return nullptr;
    }
    return std::make_unique<SqliteKeysetCursor>(m_database, select->table, ResultColumns(handle),
                                                std::move(columnNames), std::move(keyQuery));
}

std::unique_ptr<Cursor> SqliteBackend::OpenSnapshotCursor(SqliteStatement& statement) {
    std::vector<ColumnInfo> columns = ResultColumns(statement.Handle());
    SnapshotCursor::Rows rows = ReadAllRows(statement, columns);
    SqliteDatabasePtr database = m_database;
    std::string sql = statement.Sql();
    auto reload = [database, sql, columns] {
        SqliteStatement again(*database, sql);
        return ReadAllRows(again, columns);
    };
    return std::make_unique<SnapshotCursor>(std::move(columns), std::move(rows), std::move(reload));
}

// Transactions are savepoints, so that they nest and also work inside a transaction the
// host began with its own statements.
std::string SqliteBackend::TransactionName() const {
    return fmt::format("vesk_transaction_{}", m_transactionDepth);
}

long SqliteBackend::BeginTransaction() {
    ++m_transactionDepth;
    try {
        m_database->Run("SAVEPOINT " + TransactionName());
    } catch (...) {
        --m_transactionDepth;
        throw;
    }
    return m_transactionDepth;
}

// A writer takes the file's write lock before it reads anything: a second writer then waits
// in BEGIN IMMEDIATE (up to the busy timeout) instead of failing later on a lock it can only
// get by deadlock. A savepoint cannot do that, so the outermost level is a block of its own;
// inside a transaction that is open already, the write lock comes with that one's first write.
long SqliteBackend::BeginWriteTransaction(std::string_view /*table*/) {
    if (m_transactionDepth > 0 || sqlite3_get_autocommit(m_database->Handle()) == 0) {
        return BeginTransaction();
    }
    m_database->Run("BEGIN IMMEDIATE");
    m_outerIsBlock = true;
    m_transactionDepth = 1;
    return m_transactionDepth;
}

bool SqliteBackend::EndsBlock() const {
    return m_transactionDepth == 1 && m_outerIsBlock;
}

// A level whose commit fails is rolled back, so that it is over either way, as on the server.
void SqliteBackend::CommitTransaction() {
    if (m_transactionDepth == 0) {
        throw DataAccessError("No transaction is active.");
    }
    try {
        m_database->Run(EndsBlock() ? std::string("COMMIT") : "RELEASE " + TransactionName());
    } catch (const DataAccessError&) {
        try {
            RollbackTransaction();
        } catch (const DataAccessError&) {
        }
        throw;
    }
    m_outerIsBlock = m_outerIsBlock && m_transactionDepth > 1;
    --m_transactionDepth;
}

void SqliteBackend::RollbackTransaction() {
    if (m_transactionDepth == 0) {
        throw DataAccessError("No transaction is active.");
    }
    if (EndsBlock()) {
        m_outerIsBlock = false;
        --m_transactionDepth;
        // A failed ROLLBACK leaves no block either: the engine has ended it or will with the
        // connection.
        m_database->Run("ROLLBACK");
        return;
    }
    std::string name = TransactionName();
    m_database->Run("ROLLBACK TO " + name + "; RELEASE " + name);
    --m_transactionDepth;
}

std::vector<TableInfo> SqliteBackend::Tables() {
    SqliteStatement statement(
        *m_database,
        "SELECT name, type FROM sqlite_master WHERE type IN ('table', 'view') "
        "ORDER BY rowid");
    std::vector<TableInfo> tables;
    while (statement.Step()) {
        TableInfo table;
        table.name = statement.ColumnText(0);
        bool system = ToLowerAscii(table.name).starts_with("sqlite_");
        table.type = statement.ColumnText(1) == "view" ? "VIEW" : system ? "SYSTEM TABLE" : "TABLE";
        tables.push_back(std::move(table));
    }
    return tables;
}

std::vector<ColumnInfo> SqliteBackend::Columns(std::string_view table) {
    SqliteStatement statement(*m_database,
                              fmt::format("PRAGMA table_info({})", QuoteIdentifier(table)));
    std::vector<ColumnInfo> columns;
    while (statement.Step()) {
        ColumnInfo column;
        column.name = statement.ColumnText(1);
        column.declaredType = statement.ColumnText(2);
        column.type = ColumnTypeFromDeclared(column.declaredType);
        columns.push_back(std::move(column));
    }
    return RequireTableColumns(std::move(columns), table);
}

// The engine's secure_delete setting: on, freed pages are overwritten with zeros (and
// journalled first), which costs a second write of all that a delete frees.
std::optional<bool> SqliteBackend::SetOverwritesFreedSpace(bool overwrite) {
    bool previous = false;
    {
        SqliteStatement current(*m_database, "PRAGMA main.secure_delete");
        previous = current.Step() && current.ColumnInt64(0) != 0;
    }
    m_database->Run(fmt::format("PRAGMA main.secure_delete = {}", overwrite ? 1 : 0));
    return previous;
}

std::unique_ptr<Backend> OpenSqliteBackend(const ConnectionSettings& settings) {
    if (!std::filesystem::exists(settings.path)) {
        throw DataAccessError(fmt::format("Could not find file '{}'.", settings.path),
                              SQLITE_CANTOPEN);
    }
    return std::make_unique<SqliteBackend>(OpenDatabaseFile(settings));
}

SqliteDatabasePtr OpenSqliteDatabase(const ConnectionSettings& settings) {
    return OpenDatabaseFile(settings);
}

SqliteDatabasePtr OpenUnlockedReader(const ConnectionSettings& settings) {
    return OpenDatabaseFile(settings, FileUri(settings.path) + "?nolock=1",
                            SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
}

void CreateSqliteDatabase(const ConnectionSettings& settings) {
    int fd = ::open(settings.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        int error = errno;
        throw DataAccessError(
            error == EEXIST
                ? fmt::format("Database already exists: '{}'", settings.path)
                : fmt::format("Cannot create '{}': {}", settings.path, std::strerror(error)),
            SQLITE_CANTOPEN);
    }
    ::close(fd);
    try {
        SqliteDatabasePtr database = OpenDatabaseFile(settings);
        // Writes the first page, so that the file is a database (keyed when asked) from now on.
        database->Run("CREATE TABLE vesk_new_database(x); DROP TABLE vesk_new_database; VACUUM");
    } catch (...) {
        std::filesystem::remove(settings.path);  // the empty file is ours alone
        throw;
    }
}

}  // namespace vesk::data_access::detail
