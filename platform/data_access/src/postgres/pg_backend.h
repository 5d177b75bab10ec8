#pragma once

#include <memory>

#include "backend.h"
#include "postgres/pg_session.h"

struct pg_result;

namespace vesk::data_access::detail {

// The server engine (PostgreSQL through libpq): one session with one database.
class PgBackend : public Backend {
public:
    explicit PgBackend(PgSessionPtr session);
    ~PgBackend() override;

    long Execute(std::string_view sql) override;
    std::unique_ptr<Cursor> OpenCursor(std::string_view sql, bool keyset) override;
    long BeginTransaction() override;
    long BeginWriteTransaction(std::string_view table) override;
    void CommitTransaction() override;
    void RollbackTransaction() override;
    std::vector<TableInfo> Tables() override;
    std::vector<ColumnInfo> Columns(std::string_view table) override;
    bool SerializesUse() const override { return true; }
    // '1' or '0': the server reads an untyped literal as the column's type, and a boolean
    // column takes no number, a smallint or integer one no boolean.
    std::string BooleanLiteral(bool value) const override { return value ? "'1'" : "'0'"; }

private:
    std::unique_ptr<Cursor> OpenKeysetCursor(std::string_view sql, const pg_result& description,
                                             std::vector<ColumnInfo> columns);
    std::unique_ptr<Cursor> OpenSnapshotCursor(std::string_view sql,
                                               std::vector<ColumnInfo> columns);
    std::string TransactionName() const;
    void RequireTransaction() const;

    PgSessionPtr m_session;
    // One entry per open level: true where the level began the transaction block, false
    // where it is a savepoint inside one (a level opened while the host had one open).
    std::vector<bool> m_levels;
};

// Connects to the server database the settings name. Throws DataAccessError with the
// server's message when the server cannot be reached, the database is missing, or the
// credentials are refused.
std::unique_ptr<Backend> OpenPgBackend(const ConnectionSettings& settings);

// Creates the database the settings name, empty, on their server (connecting to its
// maintenance database with the same credentials). Throws DataAccessError, creating
// nothing, when it exists already or the user may not create databases.
void CreatePgDatabase(const ConnectionSettings& settings);

}  // namespace vesk::data_access::detail
