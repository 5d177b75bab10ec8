#include "postgres/pg_bulk_insert.h"

#include <libpq-fe.h>

#include <algorithm>

#include <fmt/format.h>

#include "postgres/pg_savepoint.h"
#include "text_util.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {

namespace {

constexpr const char* kStaging = "pg_temp.vesk_batch";
// A trigger or rule of the table kept rows out: which ones cannot be told.
constexpr const char* kRowsKeptOut = "The table did not take every new row of the group.";

void AppendEscaped(std::string& line, std::string_view text) {
    constexpr std::string_view kSpecial("\\\t\n\r", 4);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t special = text.find_first_of(kSpecial, start);
        line.append(text.substr(start, special - start));
        if (special == std::string_view::npos) {
            return;
        }
        line += '\\';
        switch (text[special]) {
            case '\t':
                line += 't';
                break;
            case '\n':
                line += 'n';
                break;
            case '\r':
                line += 'r';
                break;
            default:
                line += '\\';
        }
        start = special + 1;
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

void AppendCopyValue(std::string& line, const PgParam& value) {
    if (!value.value) {
        line += "\\N";
    } else if (value.binary) {
        AppendHex(line, *value.value);
    } else {
        AppendEscaped(line, *value.value);
    }
}

// Sends the rows' text in pieces of a few hundred kilobytes, so that the server reads the
// first rows while the last are on their way.
void SendRows(const PgRowBatch& batch, const PgSession::CopySender& send) {
    constexpr std::size_t kPiece = 64 * 1024;
    for (std::size_t offset = 0; offset < batch.copyText.size(); offset += kPiece) {
        send(AsBytes(batch.copyText)
                 .subspan(offset, std::min(kPiece, batch.copyText.size() - offset)));
    }
}

}  // namespace

void AppendCopyRow(std::string& text, const std::vector<PgParam>& values) {
    for (std::size_t value_idx = 0; value_idx < values.size(); ++value_idx) {
        if (value_idx > 0) {
            text += '\t';
        }
        AppendCopyValue(text, values[value_idx]);
    }
    text += '\n';
}

void PgCopyBatch(PgSession& session, const PgRowBatch& batch) {
    PgSavepoint scope(session);
    const std::int64_t taken = session.CopyIn(
        fmt::format("COPY {} ({}) FROM STDIN", batch.table, JoinList(batch.quotedColumns)),
        [&](const PgSession::CopySender& send) { SendRows(batch, send); });
    if (taken != static_cast<std::int64_t>(batch.rows)) {
        throw DataAccessError(kRowsKeptOut);
    }
    scope.Release();
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
    if (PQntuples(keys.get()) != static_cast<int>(batch.rows)) {
        throw DataAccessError(kRowsKeptOut);
    }
    session.Run(fmt::format("DROP TABLE {}", kStaging));
    scope.Release();
    return keys;
}

}  // namespace vesk::data_access::detail
