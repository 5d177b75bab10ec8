#pragma once

#include <memory>

#include "backend.h"
#include "sqlite/sqlite_handle.h"

namespace vesk::data_access::detail {

// The embedded file engine (SQLCipher): a keyed or plain database file.
class SqliteBackend : public Backend {
public:
    explicit SqliteBackend(SqliteDatabasePtr database);
    ~SqliteBackend() override;

    long Execute(std::string_view sql) override;
    std::unique_ptr<Cursor> OpenCursor(std::string_view sql, bool keyset) override;
    long BeginTransaction() override;
    long BeginWriteTransaction(std::string_view table) override;
    void CommitTransaction() override;
    void RollbackTransaction() override;
    std::vector<TableInfo> Tables() override;
    std::vector<ColumnInfo> Columns(std::string_view table) override;

    std::optional<bool> SetOverwritesFreedSpace(bool overwrite) override;

private:
    std::unique_ptr<Cursor> OpenKeysetCursor(SqliteStatement& statement);
    std::unique_ptr<Cursor> OpenSnapshotCursor(SqliteStatement& statement);

    std::string TransactionName() const;
    // Whether ending the current level ends the BEGIN IMMEDIATE block.
    bool EndsBlock() const;

    SqliteDatabasePtr m_database;
    long m_transactionDepth = 0;
    bool m_outerIsBlock = false;  // the outermost level is a BEGIN IMMEDIATE block
};

// Opens an existing database file with the settings' key. Throws DataAccessError when the
// file is missing, is not a database, or the key is wrong; nothing is written to the file.
std::unique_ptr<Backend> OpenSqliteBackend(const ConnectionSettings& settings);

// The engine session under OpenSqliteBackend, for file-level work (copies, checks). Throws
// as OpenSqliteBackend does.
SqliteDatabasePtr OpenSqliteDatabase(const ConnectionSettings& settings);

// A read-only session on the file that takes no locks at all: only for a file whose writers
// another session of this process keeps out by holding its exclusive lock meanwhile.
SqliteDatabasePtr OpenUnlockedReader(const ConnectionSettings& settings);

// Creates a new, empty database file, keyed when the settings give a password. Throws
// DataAccessError, touching nothing, when a file exists at the path.
void CreateSqliteDatabase(const ConnectionSettings& settings);

}  // namespace vesk::data_access::detail
