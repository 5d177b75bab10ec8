#pragma once

#include <string>
#include <vector>

#include "postgres/pg_session.h"

namespace vesk::data_access::detail {

// Many new rows of one table, all giving values to the same columns.
struct PgRowBatch {
    std::string table;                       // as it stands in statements
    std::vector<std::string> quotedColumns;  // the columns written, quoted
    std::string keyList;                     // the identity columns RETURNING gives back
    std::string copyText;                    // the rows in COPY's text form (AppendCopyRow)
    std::size_t rows = 0;
};

// Stores the rows with a few round trips, however many there are: COPY streams them into a
// staging table of the session that has the table's column types, so each value is read by
// the same input function a statement parameter would be; one INSERT then takes them over,
// in order, returning each row's identity. All or nothing (a savepoint of its own); throws
// DataAccessError with the server's message when any row is refused.
PgResult PgInsertBatch(PgSession& session, const PgRowBatch& batch);

// Stores the rows straight into the table by COPY, returning nothing of them: all or nothing
// (a savepoint of its own); throws DataAccessError with the server's message when any row is
// refused, or when the table did not take them all (a trigger kept some out).
void PgCopyBatch(PgSession& session, const PgRowBatch& batch);

// A row in COPY's text form, its values (one per column written) separated by tabs: \N for
// Null; backslash, tab, newline and carriage return escaped; bytes of a binary value as
// bytea's hex text. Appended to `text`.
void AppendCopyRow(std::string& text, const std::vector<PgParam>& values);

}  // namespace vesk::data_access::detail
