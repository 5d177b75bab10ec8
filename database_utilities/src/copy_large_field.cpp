// Copies one large value between fields in pieces, so that it is never held whole in memory.
#include <exception>

#include "vesk/data_access/chunks.h"
#include "vesk/database_utilities/database_utilities.h"

namespace vesk::database_utilities {

// The remainder goes first, then the full pieces; reads continue where the last one ended, so
// the bytes arrive in their order. The piece count is 64-bit: values of any size are copied
// whole. A failure ends the copy, keeping what was already appended, and is not reported.
data_access::Variant DatabaseUtilities::CopyLargeField(data_access::Field& fldSource,
                                                       data_access::Field& fldDestination,
                                                       data_access::Recordset& /*rsSorc*/) {
    try {
        data_access::ForEachChunk(
            fldSource.ActualSize(),
            [&](std::int64_t, std::int64_t length) {
                m_pieceBuffer = fldSource.GetChunk(length).ToBytes();
                fldDestination.AppendChunk(data_access::Variant(m_pieceBuffer));
            },
            true);
    } catch (const std::exception&) {
        // Silently ends the copy: the caller goes on as if it had succeeded.
    }
    return {};
}

}  // namespace vesk::database_utilities
