#include "postgres/pg_backend.h"

#include <libpq-fe.h>

#include <fmt/format.h>

#include "postgres/pg_keyset_cursor.h"
#include "postgres/pg_table_identity.h"
#include "postgres/pg_values.h"
#include "single_table_select.h"
#include "snapshot_cursor.h"
#include "text_util.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {

namespace {

// Tables and views of the schemas on the search path, oldest first; partitions are reached
// through their partitioned table.
constexpr const char* kTablesQuery =
    "SELECT c.relname, c.relkind FROM pg_class c "
    "JOIN pg_namespace n ON n.oid = c.relnamespace "
    "WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f') AND NOT c.relispartition "
    "AND n.nspname = ANY (current_schemas(false)) ORDER BY c.oid";

constexpr const char* kColumnsQuery =
    "SELECT a.attname, format_type(a.atttypid, a.atttypmod), a.atttypid, a.atttypmod "
    "FROM pg_attribute a WHERE a.attrelid = to_regclass($1) AND a.attnum > 0 "
    "AND NOT a.attisdropped ORDER BY a.attnum";

const char* kMaintenanceDatabases[] = {"postgres", "template1"};

std::string Text(const PgResult& result, int row, int column) {
    return std::string(PQgetvalue(result.get(), row, column),
                       static_cast<std::size_t>(PQgetlength(result.get(), row, column)));
}

std::vector<ColumnInfo> ResultColumns(const pg_result& description) {
    std::vector<ColumnInfo> columns;
    for (int field = 0; field < PQnfields(&description); ++field) {
        columns.push_back(PgColumnInfo(PQfname(&description, field), PQftype(&description, field),
                                       PQfmod(&description, field)));
    }
    return columns;
}

SnapshotCursor::Rows ReadAllRows(const PgResult& result, const std::vector<ColumnInfo>& columns) {
    SnapshotCursor::Rows rows;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        std::vector<StoredValue> values(columns.size());
        for (std::size_t column_idx = 0; column_idx < columns.size(); ++column_idx) {
            int field = static_cast<int>(column_idx);
            values[column_idx].value =
                PQgetisnull(result.get(), row, field)
                    ? Variant::Null()
                    : PgReadValue(Text(result, row, field), columns[column_idx].type);
        }
        rows.push_back(std::move(values));
    }
    return rows;
}

// The source as written with the row identity beside its select list, and ties of its order
// (or the scan order, when it has none) broken by the identity, so that rows come in the same
// order on every Requery.
std::string KeyQuery(std::string_view sql, const SingleTableSelect& select,
                     const PgTableIdentity& identity) {
    std::string tieBreak = identity.TieBreak(select.tableAsWritten);
    return KeysetQuery(sql, select, identity.QualifiedKey(select.tableAsWritten),
                       fmt::format("{} {}", select.ordered ? "," : " ORDER BY", tieBreak));
}

// The database a URI names, as the client library reads it.
std::string UriDatabase(const std::string& uri) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(uri.c_str(), &error);
    if (!options) {
        std::string message(error ? Trim(error) : std::string_view("cannot read it"));
        PQfreemem(error);
        ConnectionSettings settings;
        settings.uri = uri;
        throw DataAccessError(
            fmt::format("The connection URI is not valid: {}", HidePasswords(message, settings)));
    }
    std::string database;
    for (PQconninfoOption* option = options; option->keyword; ++option) {
        if (std::string_view(option->keyword) == "dbname" && option->val) {
            database = option->val;
        }
    }
    PQconninfoFree(options);
    return database;
}

PgSessionPtr ConnectToMaintenance(const ConnectionSettings& settings) {
    try {
        return PgSession::Connect(settings, kMaintenanceDatabases[0]);
    } catch (const DataAccessError&) {
        return PgSession::Connect(settings, kMaintenanceDatabases[1]);
    }
}

}  // namespace

PgBackend::PgBackend(PgSessionPtr session) : m_session(std::move(session)) {}

PgBackend::~PgBackend() {
    m_session->Close();
}

long PgBackend::Execute(std::string_view sql) {
    PgResult result = m_session->Exec(sql);
    if (std::string_view(PQcmdStatus(result.get())).starts_with("SELECT")) {
        return 0;  // rows a query returns are discarded, not affected
    }
    std::string_view count = PQcmdTuples(result.get());
    return count.empty() ? 0 : std::stol(std::string(count));
}

std::unique_ptr<Cursor> PgBackend::OpenCursor(std::string_view sql, bool keyset) {
    PgResult description = m_session->Describe(sql);
    if (PQnfields(description.get()) == 0) {
        m_session->Exec(sql);
        return nullptr;
    }
    std::vector<ColumnInfo> columns = ResultColumns(*description);
    if (keyset) {
        if (auto cursor = OpenKeysetCursor(sql, *description, columns)) {
            return cursor;
        }
    }
    return OpenSnapshotCursor(sql, std::move(columns));
}

// A keyset needs every result column to be a column of the one table the statement reads,
// and the table to have a row identity.
std::unique_ptr<Cursor> PgBackend::OpenKeysetCursor(std::string_view sql,
                                                    const pg_result& description,
                                                    std::vector<ColumnInfo> columns) {
    auto select = ReadSingleTableSelect(sql);
    if (!select) {
        return nullptr;
    }
    Oid table = PQftable(&description, 0);
    for (int field = 0; field < PQnfields(&description); ++field) {
        if (table == InvalidOid || PQftable(&description, field) != table ||
            PQftablecol(&description, field) <= 0) {
            return nullptr;
        }
    }
    auto identity = ReadTableIdentity(*m_session, table);
    if (!identity) {
        return nullptr;
    }
    std::vector<std::string> columnNames;
    for (int field = 0; field < PQnfields(&description); ++field) {
        columnNames.push_back(identity->columnNames.at(PQftablecol(&description, field)));
    }
    std::string keyQuery = KeyQuery(sql, *select, *identity);
    return std::make_unique<PgKeysetCursor>(m_session, std::move(*identity), std::move(columns),
                                            std::move(columnNames), std::move(keyQuery));
}

std::unique_ptr<Cursor> PgBackend::OpenSnapshotCursor(std::string_view sql,
                                                      std::vector<ColumnInfo> columns) {
    SnapshotCursor::Rows rows = ReadAllRows(m_session->Exec(sql), columns);
    PgSessionPtr session = m_session;
    auto reload = [session, text = std::string(sql), columns] {
        return ReadAllRows(session->Exec(text), columns);
    };
    return std::make_unique<SnapshotCursor>(std::move(columns), std::move(rows), std::move(reload));
}

std::string PgBackend::TransactionName() const {
    return fmt::format("vesk_transaction_{}", m_levels.size());
}

void PgBackend::RequireTransaction() const {
    if (m_levels.empty()) {
        throw DataAccessError("No transaction is active.");
    }
}

// The outermost level begins a transaction block; inner levels, and a level opened while the
// host has a block open, are savepoints, so that they nest.
long PgBackend::BeginTransaction() {
    auto use = m_session->Use();
    bool beginsBlock = !m_session->InTransaction();
    m_levels.push_back(beginsBlock);
    try {
        m_session->Run(beginsBlock ? std::string("BEGIN") : "SAVEPOINT " + TransactionName());
    } catch (...) {
        m_levels.pop_back();
        throw;
    }
    return static_cast<long>(m_levels.size());
}

// SHARE ROW EXCLUSIVE conflicts with itself and with the ROW EXCLUSIVE lock of every INSERT,
// UPDATE and DELETE, and not with readers. The lock lasts until the whole block ends.
long PgBackend::BeginWriteTransaction(std::string_view table) {
    long level = BeginTransaction();
    try {
        m_session->Run(fmt::format("LOCK TABLE {} IN SHARE ROW EXCLUSIVE MODE", table));
    } catch (...) {
        RollbackTransaction();
        throw;
    }
    return level;
}

void PgBackend::CommitTransaction() {
    auto use = m_session->Use();
    RequireTransaction();
    bool endsBlock = m_levels.back();
    try {
        m_session->Run(endsBlock ? std::string("COMMIT")
                                 : "RELEASE SAVEPOINT " + TransactionName());
    } catch (...) {
        if (endsBlock) {
            m_levels.pop_back();  // a failed COMMIT has ended the block all the same
        }
        throw;
    }
    m_levels.pop_back();
}

void PgBackend::RollbackTransaction() {
    auto use = m_session->Use();
    RequireTransaction();
    std::string name = TransactionName();
    m_session->Run(m_levels.back()
                       ? std::string("ROLLBACK")
                       : fmt::format("ROLLBACK TO SAVEPOINT {0}; RELEASE SAVEPOINT {0}", name));
    m_levels.pop_back();
}

std::vector<TableInfo> PgBackend::Tables() {
    PgResult result = m_session->Exec(kTablesQuery);
    std::vector<TableInfo> tables;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        std::string kind = Text(result, row, 1);
        tables.push_back({Text(result, row, 0), kind == "v" || kind == "m" ? "VIEW" : "TABLE"});
    }
    return tables;
}

std::vector<ColumnInfo> PgBackend::Columns(std::string_view table) {
    PgResult result = m_session->Exec(kColumnsQuery, {PgParam{QuoteIdentifier(table), false}});
    std::vector<ColumnInfo> columns;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        ColumnInfo column = PgColumnInfo(Text(result, row, 0),
                                         static_cast<unsigned>(std::stoul(Text(result, row, 2))),
                                         std::stoi(Text(result, row, 3)));
        column.declaredType = Text(result, row, 1);
        columns.push_back(std::move(column));
    }
    return RequireTableColumns(std::move(columns), table);
}

std::unique_ptr<Backend> OpenPgBackend(const ConnectionSettings& settings) {
    return std::make_unique<PgBackend>(PgSession::Connect(settings));
}

void CreatePgDatabase(const ConnectionSettings& settings) {
    std::string name = settings.uri.empty() ? settings.database : UriDatabase(settings.uri);
    if (name.empty()) {
        throw DataAccessError("The connection text names no database to create.");
    }
    PgSessionPtr maintenance = ConnectToMaintenance(settings);
    try {
        maintenance->Exec("CREATE DATABASE " + QuoteIdentifier(name));
    } catch (const DataAccessError& error) {
        if (error.EngineCode() == SqlStateCode("42P04")) {
            throw DataAccessError(fmt::format("Database already exists: '{}'", name),
                                  error.EngineCode());
        }
        throw;
    }
}

}  // namespace vesk::data_access::detail
