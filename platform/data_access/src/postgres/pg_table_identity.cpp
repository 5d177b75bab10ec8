#include "postgres/pg_table_identity.h"

#include <libpq-fe.h>

#include <fmt/format.h>

#include "text_util.h"

namespace vesk::data_access::detail {

namespace {

// One row per column: the table's name, its kind, and the column's number and name.
constexpr const char* kTableQuery =
    "SELECT c.oid::regclass::text, c.relkind, a.attnum, a.attname FROM pg_class c "
    "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
    "WHERE c.oid = $1 ORDER BY a.attnum";

// The key columns, in key order, of the primary key or else the narrowest unique index whose
// columns are all NOT NULL.
constexpr const char* kKeyQuery =
    "SELECT a.attname FROM (SELECT i.indkey, i.indnkeyatts FROM pg_index i "
    "WHERE i.indrelid = $1 AND i.indisunique AND i.indisvalid AND i.indimmediate "
    "AND i.indpred IS NULL AND i.indexprs IS NULL AND NOT EXISTS (SELECT 1 FROM pg_attribute n "
    "WHERE n.attrelid = i.indrelid AND n.attnum = ANY (i.indkey::int2[]) AND NOT n.attnotnull) "
    "ORDER BY i.indisprimary DESC, i.indnkeyatts, i.indexrelid LIMIT 1) k "
    "CROSS JOIN LATERAL unnest(k.indkey::int2[]) WITH ORDINALITY AS u(attnum, ord) "
    "JOIN pg_attribute a ON a.attrelid = $1 AND a.attnum = u.attnum "
    "WHERE u.ord <= k.indnkeyatts ORDER BY u.ord";

std::string Text(const PgResult& result, int row, int column) {
    return PQgetvalue(result.get(), row, column);
}

}  // namespace

std::optional<PgTableIdentity> ReadTableIdentity(PgSession& session, unsigned tableOid) {
    std::vector<PgParam> oid = {PgParam{std::to_string(tableOid), false}};
    PgResult table = session.Exec(kTableQuery, oid);
    int columns = PQntuples(table.get());
    if (columns == 0) {
        return std::nullopt;
    }
    std::string kind = Text(table, 0, 1);
    if (kind != "r" && kind != "p") {
        return std::nullopt;
    }
    PgTableIdentity identity;
    identity.table = Text(table, 0, 0);
    for (int row = 0; row < columns; ++row) {
        identity.columnNames[std::stoi(Text(table, row, 2))] = Text(table, row, 3);
    }
    PgResult key = session.Exec(kKeyQuery, oid);
    for (int row = 0; row < PQntuples(key.get()); ++row) {
        identity.key.push_back(QuoteIdentifier(Text(key, row, 0)));
    }
    if (!identity.key.empty()) {
        identity.keyList = JoinList(identity.key);
        return identity;
    }
    if (kind == "p") {
        return std::nullopt;  // a row version is unique within one partition only
    }
    identity.key = {"ctid", "xmin"};
    identity.keyList = JoinList(identity.key);
    identity.byRowVersion = true;
    return identity;
}

std::vector<std::string> PgTableIdentity::QualifiedKey(std::string_view qualifier) const {
    std::vector<std::string> qualified;
    for (const std::string& part : key) {
        qualified.push_back(fmt::format("{}.{}", qualifier, part));
    }
    return qualified;
}

// By row version: the last writing transaction first, then the place on disk, so that a row
// added later comes later, also where it takes the space of a deleted row, as rows added
// through a record set join its end.
std::string PgTableIdentity::TieBreak(std::string_view qualifier) const {
    if (byRowVersion) {
        return fmt::format("{0}.xmin::text::bigint, {0}.ctid", qualifier);
    }
    return JoinList(QualifiedKey(qualifier));
}

}  // namespace vesk::data_access::detail
