#include "postgres/pg_value_match.h"

#include <libpq-fe.h>

#include <fmt/format.h>

#include "postgres/pg_values.h"
#include "text_util.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {

namespace {

// The column's type by its own name, which carries no modifier (pg_catalog.bpchar, not
// character, which casts to one character; varchar, not varchar(10): a value is never cut to
// fit), and its collation as a COLLATE clause, empty for types without one.
constexpr const char* kColumnQuery =
    "SELECT quote_ident(tn.nspname) || '.' || quote_ident(t.typname), "
    "CASE WHEN a.attcollation = 0 THEN '' ELSE "
    "'COLLATE ' || quote_ident(n.nspname) || '.' || quote_ident(c.collname) END "
    "FROM pg_attribute a JOIN pg_type t ON t.oid = a.atttypid "
    "JOIN pg_namespace tn ON tn.oid = t.typnamespace "
    "LEFT JOIN pg_collation c ON c.oid = a.attcollation "
    "LEFT JOIN pg_namespace n ON n.oid = c.collnamespace "
    "WHERE a.attrelid = $1::regclass AND a.attname = $2 AND NOT a.attisdropped";

struct ColumnTyping {
    std::string type;
    std::string collate;
};

ColumnTyping ReadTyping(PgSession& session, std::string_view table, std::string_view column) {
    PgResult result = session.Exec(
        kColumnQuery, {PgParam{std::string(table), false}, PgParam{std::string(column), false}});
    if (PQntuples(result.get()) != 1) {
        throw DataAccessError(fmt::format("The table {} has no column {}", table, column));
    }
    return {PQgetvalue(result.get(), 0, 0), PQgetvalue(result.get(), 0, 1)};
}

void AppendElement(std::string& array, const PgParam& value) {
    if (!value.value) {
        array += "NULL";
        return;
    }
    array += '"';
    if (value.binary) {
        array += "\\\\x";  // bytea's hex text, its backslash escaped
        for (char c : *value.value) {
            array += fmt::format("{:02x}", static_cast<unsigned char>(c));
        }
    } else {
        for (char c : *value.value) {
            if (c == '"' || c == '\\') {
                array += '\\';
            }
            array += c;
        }
    }
    array += '"';
}

// The values as an array literal, each in the form a statement parameter would take.
std::string ArrayLiteral(const std::vector<Variant>& values, ColumnType type,
                         std::string_view column) {
    std::string array = "{";
    for (std::size_t value_idx = 0; value_idx < values.size(); ++value_idx) {
        if (value_idx > 0) {
            array += ',';
        }
        AppendElement(array, PgParamFor(values[value_idx], type, column));
    }
    return array + "}";
}

// Rows (n, NULL) for the values the table holds and (n, first) for those equal to an earlier
// one, 0-based. The held values are found by one join, which the server runs by hashing the
// values while it reads the table once, or by an index of the column. (A semi-join would
// first gather the table's distinct values: the server cannot tell how few values come.)
std::string MatchStatement(std::string_view table, std::string_view column,
                           const ColumnTyping& typing) {
    return fmt::format(
        "WITH v AS MATERIALIZED (SELECT k, n FROM unnest($1::{2}[]) WITH ORDINALITY AS u(k, n)) "
        "SELECT DISTINCT v.n - 1, NULL::bigint FROM v JOIN {0} AS vesk_t ON vesk_t.{1} = v.k "
        "UNION ALL SELECT b.n - 1, min(a.n) - 1 FROM v AS a JOIN v AS b ON a.k = b.k {3} "
        "AND a.n < b.n GROUP BY b.n",
        table, QuoteIdentifier(column), typing.type, typing.collate);
}

}  // namespace

std::vector<ValueMatch> PgMatchValues(PgSession& session, std::string_view table,
                                      std::string_view column, ColumnType type,
                                      const std::vector<Variant>& values) {
    std::vector<ValueMatch> matches(values.size());
    for (std::size_t value_idx = 0; value_idx < values.size(); ++value_idx) {
        matches[value_idx].firstEqual = value_idx;
    }
    const ColumnTyping typing = ReadTyping(session, table, column);
    PgResult result = session.Exec(MatchStatement(table, column, typing),
                                   {PgParam{ArrayLiteral(values, type, column), false}});
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        ValueMatch& match = matches.at(std::stoul(PQgetvalue(result.get(), row, 0)));
        if (PQgetisnull(result.get(), row, 1)) {
            match.held = true;
        } else {
            match.firstEqual = std::stoul(PQgetvalue(result.get(), row, 1));
        }
    }
    return matches;
}

}  // namespace vesk::data_access::detail
