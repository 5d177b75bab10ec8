#include "connection_option.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <stdexcept>

#include <fmt/format.h>

#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/errors/error.h"

namespace vesk::host {

bool IsConnectionText(const std::string& text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.starts_with("postgresql://") || lower.starts_with("postgres://")) {
        return true;
    }
    std::size_t first = lower.find_first_not_of(" \t");
    std::string_view start =
        first == std::string::npos ? std::string_view() : std::string_view(lower).substr(first);
    if (start.starts_with("provider=") || start.starts_with("driver=")) {
        return true;
    }
    if (lower.find("provider=") == std::string::npos &&
        lower.find("driver=") == std::string::npos) {
        return false;
    }
    // A path may hold "provider=" or "driver=" too: it is a text only when it reads as one.
    try {
        data_access::ParseConnectionText(text);
        return true;
    } catch (const data_access::DataAccessError&) {
        return false;
    }
}

void AddDatabaseOptions(CLI::App& command, DatabaseOptions& options) {
    command.add_option("--db", options.database, "database file path or full connection text")
        ->required();
    options.password.AddTo(command, "password", "VESK_PASSWORD", "the database's");
}

std::string ConnectionTextFor(const std::string& database, const std::string& password) {
    if (IsConnectionText(database)) {
        return database;
    }
    return data_access::EmbeddedConnectionText(database, password);
}

void RequireDatabaseFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error) {
        throw Error(fmt::format(
            "there is no database file {} (vesk db create {} makes an empty one)", path, path));
    }
}

data_access::ConnectionPtr OpenDatabase(const DatabaseOptions& options) {
    auto connection = std::make_shared<data_access::Connection>();
    bool fullText = IsConnectionText(options.database);
    if (!fullText) {
        RequireDatabaseFile(options.database);
    }
    const std::string& password = options.password.Value();
    connection->Open(ConnectionTextFor(options.database, password), {},
                     fullText ? password : std::string());
    return connection;
}

}  // namespace vesk::host
