#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "postgres/pg_session.h"

namespace vesk::data::detail {

// How a keyset tells the rows of one table apart, and the names it writes statements with.
struct PgTableIdentity {
    std::string table;                       // as the server writes it, quoted where needed
    std::map<int, std::string> columnNames;  // by attribute number
    std::vector<std::string> key;            // identity expressions, quoted
    std::string keyList;                     // the same, separated by commas
    std::string tieBreak;                    // orders rows that the source's ORDER BY ties
};

// The identity of the ordinary table `tableOid`, by the first of: its primary key; the
// columns of a unique index that are all NOT NULL (no expression, no predicate, not
// deferrable); the row version (ctid, xmin). A row version changes whenever the row does, so
// the cursor follows its own changes by the version each write returns, and a row that
// another session changed reads as gone until Requery; ties of the source's order then come
// in the order the rows were last written. Nothing for views, partitioned
// tables without a key, and other relations: their rows open as a read-only snapshot.
std::optional<PgTableIdentity> ReadTableIdentity(PgSession& session, unsigned tableOid);

}  // namespace vesk::data::detail
