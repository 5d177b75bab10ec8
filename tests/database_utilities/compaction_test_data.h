#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include <fmt/format.h>

#include "vesk/data_access/connection.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/recordset.h"

// Databases for the compaction and repair tests: rows whose text can be told from their id.
namespace vesk::database_utilities::testing {

inline std::string PayloadOf(long id) {
    return fmt::format("row {:06} ", id) + std::string(90, static_cast<char>('a' + id % 26));
}

// Statements making table t (an index on its text) with `rows` rows, user version 7.
inline std::vector<std::string> RowStatements(long rows) {
    std::vector<std::string> statements = {
        "CREATE TABLE t (id INTEGER PRIMARY KEY AUTOINCREMENT, payload TEXT)",
        "CREATE INDEX t_payload ON t (payload)", "PRAGMA user_version = 7", "BEGIN"};
    for (long id = 1; id <= rows; ++id) {
        statements.push_back(
            fmt::format("INSERT INTO t (id, payload) VALUES ({}, '{}')", id, PayloadOf(id)));
    }
    statements.push_back("COMMIT");
    return statements;
}

// Every row of t by id, read through the data-access layer with `password`.
inline std::map<long, std::string> ReadRows(const std::string& path, const std::string& password) {
    auto connection = std::make_shared<data_access::Connection>();
    connection->Open(data_access::EmbeddedConnectionText(path, password));
    data_access::Recordset rows;
    rows.Open("SELECT id, payload FROM t", connection);
    std::map<long, std::string> byId;
    while (!rows.IsEOF()) {
        byId[std::stol(rows.Fields()["id"].Value().ToText())] =
            rows.Fields()["payload"].Value().ToText();
        rows.MoveNext();
    }
    return byId;
}

inline std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace vesk::database_utilities::testing
