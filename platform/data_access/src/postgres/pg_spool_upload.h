#pragma once

#include <string>
#include <vector>

#include "postgres/pg_session.h"

// Values gathered by AppendChunk reach the server through a temporary table of the session:
// COPY streams each spool into a row of its own, in pieces, so that the client never holds a
// value whole; the write statement then takes the value from there, and ClearSpools empties
// the table. All three run inside one PgSavepoint.
namespace vesk::data_access::detail {

class ValueSpool;

// Copies the spools into slots 0, 1, ... of the session's spool table, creating the table on
// first use. Throws DataAccessError when the server or a spool fails.
void UploadSpools(PgSession& session, const std::vector<const ValueSpool*>& spools);

// The expression that stands for the value uploaded into `slot` in a write statement.
std::string SpooledValue(std::size_t slot);

// Empties the spool table. Throws DataAccessError.
void ClearSpools(PgSession& session);

}  // namespace vesk::data_access::detail
