// Copies one large value between fields in pieces, so that it is never held whole in memory.
#include <exception>

#include "vesk/dbutil/database_utilities.h"

namespace vesk::dbutil {

namespace {

constexpr std::int64_t kPieceSize = 16384;

}  // namespace

// The remainder goes first, then the full pieces; reads continue where the last one ended, so
// the bytes arrive in their order. The piece count is 64-bit: values of any size are copied
// whole. A failure ends the copy, keeping what was already appended, and is not reported.
data::Variant DatabaseUtilities::CopyLargeField(data::Field& fldSource, data::Field& fldDestination,
                                                data::Recordset& /*rsSorc*/) {
    try {
        const std::int64_t size = fldSource.ActualSize();
        const std::int64_t fullPieces = size / kPieceSize;
        m_pieceBuffer = fldSource.GetChunk(size % kPieceSize).ToBytes();
        fldDestination.AppendChunk(data::Variant(m_pieceBuffer));
        for (std::int64_t piece = 1; piece <= fullPieces; ++piece) {
            m_pieceBuffer = fldSource.GetChunk(kPieceSize).ToBytes();
            fldDestination.AppendChunk(data::Variant(m_pieceBuffer));
        }
    } catch (const std::exception&) {
        // Silently ends the copy: the caller goes on as if it had succeeded.
    }
    return {};
}

}  // namespace vesk::dbutil
