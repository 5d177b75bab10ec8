#include "postgres/pg_spool_upload.h"

#include <arpa/inet.h>
#include <libpq-fe.h>

#include <array>
#include <cstring>
#include <limits>

#include <fmt/format.h>

#include "value_spool.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {

namespace {

constexpr std::size_t kPiece = 64 * 1024;

// The table keeps values uncompressed: they are compressed once, where they are stored.
constexpr const char* kCreateSpoolTable =
    "CREATE TEMPORARY TABLE vesk_spool (slot integer, v bytea); "
    "ALTER TABLE pg_temp.vesk_spool ALTER COLUMN v SET STORAGE EXTERNAL";

// COPY's binary form: a signature, flags and header extension; then per row its field count
// and each field's length and bytes (all in network order); then -1.
constexpr std::array<std::uint8_t, 19> kCopyHeader = {
    'P', 'G', 'C', 'O', 'P', 'Y', '\n', 0xFF, '\r', '\n', 0, 0, 0, 0, 0, 0, 0, 0, 0};

class CopyWriter {
public:
    explicit CopyWriter(const PgSession::CopySender& send) : m_send(send) {}

    void Int16(std::int16_t value) {
        std::uint16_t net = htons(static_cast<std::uint16_t>(value));
        Send(&net, sizeof net);
    }
    void Int32(std::int32_t value) {
        std::uint32_t net = htonl(static_cast<std::uint32_t>(value));
        Send(&net, sizeof net);
    }
    void Bytes(std::span<const std::uint8_t> bytes) { m_send(bytes); }

private:
    void Send(const void* data, std::size_t size) {
        m_send(std::span(static_cast<const std::uint8_t*>(data), size));
    }

    const PgSession::CopySender& m_send;
};

void EnsureSpoolTable(PgSession& session) {
    PgResult exists = session.Exec("SELECT to_regclass('pg_temp.vesk_spool') IS NOT NULL");
    if (std::string_view(PQgetvalue(exists.get(), 0, 0)) != "t") {
        session.Run(kCreateSpoolTable);
    }
}

void SendSpool(CopyWriter& writer, std::size_t slot, const ValueSpool& spool) {
    if (spool.Size() > std::numeric_limits<std::int32_t>::max()) {
        throw DataAccessError(fmt::format(
            "A value of {} bytes is more than the server stores in one column", spool.Size()));
    }
    writer.Int16(2);
    writer.Int32(4);
    writer.Int32(static_cast<std::int32_t>(slot));
    writer.Int32(static_cast<std::int32_t>(spool.Size()));
    data_access::Bytes piece(kPiece);
    for (std::int64_t offset = 0; offset < spool.Size();) {
        std::size_t count = spool.ReadAt(offset, piece);
        writer.Bytes(std::span(piece.data(), count));
        offset += static_cast<std::int64_t>(count);
    }
}

}  // namespace

void UploadSpools(PgSession& session, const std::vector<const ValueSpool*>& spools) {
    EnsureSpoolTable(session);
    session.CopyIn("COPY pg_temp.vesk_spool (slot, v) FROM STDIN WITH (FORMAT binary)",
                   [&](const PgSession::CopySender& send) {
                       CopyWriter writer(send);
                       writer.Bytes(kCopyHeader);
                       for (std::size_t slot = 0; slot < spools.size(); ++slot) {
                           SendSpool(writer, slot, *spools[slot]);
                       }
                       writer.Int16(-1);
                   });
}

std::string SpooledValue(std::size_t slot) {
    return fmt::format("(SELECT v FROM pg_temp.vesk_spool WHERE slot = {})", slot);
}

void ClearSpools(PgSession& session) {
    session.Run("TRUNCATE pg_temp.vesk_spool");
}

}  // namespace vesk::data_access::detail
