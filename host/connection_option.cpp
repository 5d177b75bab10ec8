#include "connection_option.h"

#include <algorithm>
#include <cctype>

#include "vesk/data_access/connection_text.h"

namespace vesk::host {

bool IsConnectionText(const std::string& text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.starts_with("postgresql://") || lower.starts_with("postgres://") ||
           lower.find("provider=") != std::string::npos ||
           lower.find("driver=") != std::string::npos;
}

void AddDatabaseOptions(CLI::App& command, DatabaseOptions& options) {
    command.add_option("--db", options.database, "database file path or full connection text")
        ->required();
    command.add_option("--password", options.password, "database password");
}

std::string ConnectionTextFor(const std::string& database, const std::string& password) {
    if (IsConnectionText(database)) {
        return database;
    }
    return data::EmbeddedConnectionText(database, password);
}

data::ConnectionPtr OpenDatabase(const DatabaseOptions& options) {
    auto connection = std::make_shared<data::Connection>();
    bool fullText = IsConnectionText(options.database);
    connection->Open(ConnectionTextFor(options.database, options.password), {},
                     fullText ? options.password : std::string());
    return connection;
}

}  // namespace vesk::host
