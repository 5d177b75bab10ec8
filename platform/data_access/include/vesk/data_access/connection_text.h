#pragma once

#include <map>
#include <string>
#include <string_view>

namespace vesk::data_access {

enum class Provider { EmbeddedFile, PostgreSql };

// What a connection text names: the engine, and for the embedded engine the file and its
// key, for the server its address and credentials.
struct ConnectionSettings {
    Provider provider = Provider::EmbeddedFile;
    std::string path;      // embedded file path
    std::string password;  // embedded key or server password; empty means none
    std::string host;
    std::string port;
    std::string database;
    std::string user;
    std::string uri;  // a postgresql:// URI, passed to the server as it stands
};

// Splits a connection text into its key=value pairs: keys lower-cased, values trimmed. A
// value that starts with a double quote runs to the closing quote and may hold ';', '=' and
// blanks, and "" for a quote. Throws DataAccessError, showing no value, on a part without
// '=' or an unclosed quote.
std::map<std::string, std::string> SplitConnectionText(std::string_view text);

// Reads a connection text of the Jet provider, the Access ODBC driver, the PostgreSQL
// provider or a postgresql:// URI. Throws DataAccessError when it names no known provider or
// no database, or (for the PostgreSQL provider) holds a key the provider does not know or
// names the user or the password twice, differently.
ConnectionSettings ParseConnectionText(std::string_view text);

// `value` as it can stand after "key=" in a connection text: as it is, or between double
// quotes (each quote doubled) when it holds ';' or a quote or begins or ends with a blank.
std::string ConnectionTextValue(std::string_view value);

// The Jet provider text that opens the embedded file `path` with key `password`.
std::string EmbeddedConnectionText(std::string_view path, std::string_view password = {});

}  // namespace vesk::data_access
