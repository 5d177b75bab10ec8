// Writing and reading 200 values of 1 MB in 16384-byte pieces: through the data-access layer's
// AppendChunk/GetChunk, beside the engine's own incremental blob API on the same kind of keyed
// file, in the same run.
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "bench_report.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/recordset.h"

namespace vesk::bench {

namespace {

constexpr int kValues = 200;
constexpr int kValueSize = 1024 * 1024;
constexpr int kPiece = 16384;
constexpr int kRounds = 3;
constexpr const char* kPassword = "bench";
constexpr const char* kCreateTable = "CREATE TABLE Photos (PhotoCode Text (20), Photo LONGBINARY)";

std::vector<std::uint8_t> Piece() {
    std::vector<std::uint8_t> piece(kPiece);
    for (int index = 0; index < kPiece; ++index) {
        piece[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(index * 7);
    }
    return piece;
}

void Check(int result, sqlite3* db, const char* what) {
    if (result != SQLITE_OK && result != SQLITE_DONE && result != SQLITE_ROW) {
        throw std::runtime_error(fmt::format("{}: {}", what, sqlite3_errmsg(db)));
    }
}

// The peer: the engine's own API, one transaction per value as the layer uses.
class RawBlobPeer {
public:
    explicit RawBlobPeer(const std::string& path) {
        Check(sqlite3_open(path.c_str(), &m_db), m_db, "open");
        Check(sqlite3_key(m_db, kPassword, static_cast<int>(std::string(kPassword).size())), m_db,
              "key");
        Check(sqlite3_exec(m_db, kCreateTable, nullptr, nullptr, nullptr), m_db, "create");
    }
    ~RawBlobPeer() { sqlite3_close(m_db); }

    void WriteAll(const std::vector<std::uint8_t>& piece) {
        Check(sqlite3_exec(m_db, "DELETE FROM Photos", nullptr, nullptr, nullptr), m_db, "delete");
        for (int value = 0; value < kValues; ++value) {
            Check(sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr), m_db, "begin");
            sqlite3_stmt* insert = nullptr;
            Check(sqlite3_prepare_v2(m_db, "INSERT INTO Photos VALUES (?, zeroblob(?))", -1,
                                     &insert, nullptr),
                  m_db, "prepare");
            std::string code = "P" + std::to_string(value);
            sqlite3_bind_text(insert, 1, code.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 2, kValueSize);
            Check(sqlite3_step(insert), m_db, "insert");
            sqlite3_finalize(insert);
            sqlite3_blob* blob = nullptr;
            Check(sqlite3_blob_open(m_db, "main", "Photos", "Photo",
                                    sqlite3_last_insert_rowid(m_db), 1, &blob),
                  m_db, "blob open");
            for (int offset = 0; offset < kValueSize; offset += kPiece) {
                Check(sqlite3_blob_write(blob, piece.data(), kPiece, offset), m_db, "blob write");
            }
            sqlite3_blob_close(blob);
            Check(sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr), m_db, "commit");
        }
    }

    std::uint64_t ReadAll() {
        std::vector<std::uint8_t> buffer(kPiece);
        std::uint64_t sum = 0;
        sqlite3_stmt* keys = nullptr;
        Check(sqlite3_prepare_v2(m_db, "SELECT rowid FROM Photos", -1, &keys, nullptr), m_db,
              "prepare");
        std::vector<sqlite3_int64> rowids;
        while (sqlite3_step(keys) == SQLITE_ROW) {
            rowids.push_back(sqlite3_column_int64(keys, 0));
        }
        sqlite3_finalize(keys);
        for (sqlite3_int64 rowid : rowids) {
            sqlite3_blob* blob = nullptr;
            Check(sqlite3_blob_open(m_db, "main", "Photos", "Photo", rowid, 0, &blob), m_db,
                  "blob open");
            int size = sqlite3_blob_bytes(blob);
            for (int offset = 0; offset < size; offset += kPiece) {
                Check(sqlite3_blob_read(blob, buffer.data(), kPiece, offset), m_db, "blob read");
                sum += buffer[0];
            }
            sqlite3_blob_close(blob);
        }
        return sum;
    }

private:
    sqlite3* m_db = nullptr;
};

class LayerPath {
public:
    explicit LayerPath(const std::string& path) {
        data_access::Catalog catalog;
        m_connection = catalog.Create(data_access::EmbeddedConnectionText(path, kPassword));
        m_connection->Execute(kCreateTable);
    }

    void WriteAll(const std::vector<std::uint8_t>& piece) {
        m_connection->Execute("DELETE FROM Photos");
        data_access::Recordset rows;
        rows.Open("SELECT * FROM Photos", m_connection, data_access::adOpenKeyset,
                  data_access::adLockOptimistic);
        data_access::Variant chunk{data_access::Bytes(piece)};
        for (int value = 0; value < kValues; ++value) {
            rows.AddNew();
            rows.Fields()["PhotoCode"].SetValue("P" + std::to_string(value));
            data_access::Field photo = rows.Fields()["Photo"];
            for (int offset = 0; offset < kValueSize; offset += kPiece) {
                photo.AppendChunk(chunk);
            }
            rows.Update();
        }
    }

    std::uint64_t ReadAll() {
        std::uint64_t sum = 0;
        data_access::Recordset rows;
        rows.Open("SELECT * FROM Photos", m_connection, data_access::adOpenKeyset,
                  data_access::adLockOptimistic);
        for (; !rows.IsEOF(); rows.MoveNext()) {
            data_access::Field photo = rows.Fields()["Photo"];
            std::int64_t size = photo.ActualSize();
            for (std::int64_t offset = 0; offset < size; offset += kPiece) {
                sum += photo.GetChunk(kPiece).AsBytes()->front();
            }
        }
        return sum;
    }

private:
    data_access::ConnectionPtr m_connection;
};

}  // namespace

void RunChunkTransferBench() {
    std::string folder = MakeBenchFolder();
    std::vector<std::uint8_t> piece = Piece();
    double megabytes = kValues * (kValueSize / (1024.0 * 1024.0));
    fmt::print("Chunked values: {} values of 1 MB in {}-byte pieces, keyed files\n", kValues,
               kPiece);
    {
        RawBlobPeer peer(folder + "/raw.db");
        LayerPath layer(folder + "/layer.db");
        double peerWrite = BestSeconds(kRounds, [&] { peer.WriteAll(piece); });
        double layerWrite = BestSeconds(kRounds, [&] { layer.WriteAll(piece); });
        std::uint64_t peerSum = 0;
        std::uint64_t layerSum = 0;
        double peerRead = BestSeconds(kRounds, [&] { peerSum = peer.ReadAll(); });
        double layerRead = BestSeconds(kRounds, [&] { layerSum = layer.ReadAll(); });
        if (peerSum != layerSum) {
            fmt::print("  warning: the two paths read different bytes\n");
        }
        ReportThroughput("  write (AppendChunk + Update)", megabytes, layerWrite, peerWrite,
                         "blob API", 0.80);
        ReportThroughput("  read (GetChunk)", megabytes, layerRead, peerRead, "blob API", 0.80);
    }
    std::filesystem::remove_all(folder);
    fmt::print("\n");
}

}  // namespace vesk::bench
