#include "postgres/pg_bulk_insert.h"

#include <libpq-fe.h>

#include <fmt/format.h>

#include "postgres/pg_savepoint.h"
#include "text_util.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data::detail {

namespace {

constexpr const char* kStaging = "pg_temp.vesk_batch";

void AppendEscaped(std::string& line, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '\\':
                line += "\\\\";
                break;
            case '\t':
                line += "\\t";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            default:
                line += c;
        }
    }
}

// bytea's hex text ("\x00ff"), its backslash escaped for COPY.
void AppendHex(std::string& line, std::string_view bytes) {
    constexpr char kDigits[] = "0123456789abcdef";
    line += "\\\\x";
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
    }
}

std::span<const std::uint8_t> AsBytes(const std::string& text) {
    return std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// Sends the rows as COPY text, a few hundred kilobytes at a time.
void SendRows(const PgRowBatch& batch, const PgSession::CopySender& send) {
    constexpr std::size_t kPiece = 256 * 1024;
    std::string piece;
    for (const std::vector<PgParam>& row : batch.rows) {
        for (std::size_t value_idx = 0; value_idx < row.size(); ++value_idx) {
            if (value_idx > 0) {
                piece += '\t';
            }
            AppendCopyText(piece, row[value_idx]);
        }
        piece += '\n';
        if (piece.size() >= kPiece) {
            send(AsBytes(piece));
            piece.clear();
        }
    }
    if (!piece.empty()) {
        send(AsBytes(piece));
    }
}

}  // namespace

void AppendCopyText(std::string& line, const PgParam& value) {
    if (!value.value) {
        line += "\\N";
    } else if (value.binary) {
        AppendHex(line, *value.value);
    } else {
        AppendEscaped(line, *value.value);
    }
}

PgResult PgInsertBatch(PgSession& session, const PgRowBatch& batch) {
    const std::string columns = JoinList(batch.quotedColumns);
    PgSavepoint scope(session);
    session.Run(fmt::format("CREATE TEMPORARY TABLE vesk_batch AS SELECT {} FROM {} WITH NO DATA",
                            columns, batch.table));
    session.CopyIn(fmt::format("COPY {} ({}) FROM STDIN", kStaging, columns),
                   [&](const PgSession::CopySender& send) { SendRows(batch, send); });
    PgResult keys =
        session.Exec(fmt::format("INSERT INTO {0} ({1}) SELECT {1} FROM {2} RETURNING {3}",
                                 batch.table, columns, kStaging, batch.keyList));
    if (PQntuples(keys.get()) != static_cast<int>(batch.rows.size())) {
        // A trigger or rule of the table kept rows out: which ones cannot be told.
        throw DataAccessError("The table did not take every new row of the group.");
    }
    session.Run(fmt::format("DROP TABLE {}", kStaging));
    scope.Release();
    return keys;
}

}  // namespace vesk::data::detail
