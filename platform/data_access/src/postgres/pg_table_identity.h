#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "postgres/pg_session.h"

namespace vesk::data_access::detail {

// How a keyset tells the rows of one table apart, and the names it writes statements with.
struct PgTableIdentity {
    std::string table;                       // as the server writes it, quoted where needed
    std::map<int, std::string> columnNames;  // by attribute number
    std::vector<std::string> key;            // identity expressions, quoted
    std::string keyList;                     // the same, separated by commas
    bool byRowVersion = false;               // the key is the row version (ctid, xmin)

    // The identity expressions, each qualified with `qualifier` (the table as a statement
    // names it), so that no output name of the statement can stand in for them.
    std::vector<std::string> QualifiedKey(std::string_view qualifier) const;
    // The terms that order the rows a statement's ORDER BY ties (or all its rows, when it has
    // none), qualified likewise.
    std::string TieBreak(std::string_view qualifier) const;
};

// The identity of the ordinary table `tableOid`, by the first of: its primary key; the
// columns of a unique index that are all NOT NULL (no expression, no predicate, not
// deferrable); the row version (ctid, xmin). A row version changes whenever the row does, so
// the cursor follows its own changes by the version each write returns, and a row that
// another session changed reads as gone until Requery; ties of the source's order then come
// in the order the rows were last written. Nothing for views, partitioned
// tables without a key, and other relations: their rows open as a read-only snapshot.
std::optional<PgTableIdentity> ReadTableIdentity(PgSession& session, unsigned tableOid);

}  // namespace vesk::data_access::detail
