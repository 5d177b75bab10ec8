#include "vesk/data_access/connection_text.h"

#include <vector>

#include <fmt/format.h>

#include "text_util.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data {

namespace {

constexpr std::string_view kJetProvider = "microsoft.jet.oledb.4.0";
constexpr std::string_view kAccessDriver = "{microsoft access driver (*.mdb)}";
constexpr std::string_view kPostgresProvider = "postgresql";

std::string Lookup(const std::map<std::string, std::string>& pairs, std::string_view key) {
    auto found = pairs.find(std::string(key));
    return found == pairs.end() ? std::string() : found->second;
}

// A value may be quoted so that it can hold ';'.
std::string Unquote(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        return std::string(value.substr(1, value.size() - 2));
    }
    return std::string(value);
}

// Splits at ';' outside double quotes.
std::vector<std::string_view> SplitPairs(std::string_view text) {
    std::vector<std::string_view> pairs;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t pos = 0; pos <= text.size(); ++pos) {
        if (pos < text.size() && text[pos] == '"') {
            quoted = !quoted;
        }
        if (pos == text.size() || (text[pos] == ';' && !quoted)) {
            pairs.push_back(text.substr(start, pos - start));
            start = pos + 1;
        }
    }
    return pairs;
}

ConnectionSettings EmbeddedSettings(std::string path, std::string password, std::string_view text) {
    if (path.empty()) {
        throw DataAccessError(
            fmt::format("The connection text names no database file: \"{}\"", text));
    }
    ConnectionSettings settings;
    settings.provider = Provider::EmbeddedFile;
    settings.path = std::move(path);
    settings.password = std::move(password);
    return settings;
}

ConnectionSettings ServerSettings(const std::map<std::string, std::string>& pairs,
                                  std::string_view text) {
    ConnectionSettings settings;
    settings.provider = Provider::PostgreSql;
    settings.host = Lookup(pairs, "host");
    settings.port = Lookup(pairs, "port");
    settings.database = Lookup(pairs, "database");
    settings.user = Lookup(pairs, "user id");
    settings.password = Lookup(pairs, "password");
    if (settings.database.empty()) {
        throw DataAccessError(fmt::format("The connection text names no database: \"{}\"", text));
    }
    return settings;
}

}  // namespace

std::map<std::string, std::string> SplitConnectionText(std::string_view text) {
    std::map<std::string, std::string> pairs;
    for (std::string_view pair : SplitPairs(text)) {
        if (detail::Trim(pair).empty()) {
            continue;
        }
        std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos) {
            throw DataAccessError(fmt::format("The connection text has a part without '=': \"{}\"",
                                              detail::Trim(pair)));
        }
        std::string key = detail::ToLowerAscii(detail::Trim(pair.substr(0, equals)));
        pairs[key] = Unquote(detail::Trim(pair.substr(equals + 1)));
    }
    return pairs;
}

ConnectionSettings ParseConnectionText(std::string_view text) {
    std::string_view trimmed = detail::Trim(text);
    if (trimmed.starts_with("postgresql://") || trimmed.starts_with("postgres://")) {
        ConnectionSettings settings;
        settings.provider = Provider::PostgreSql;
        settings.uri = std::string(trimmed);
        return settings;
    }
    auto pairs = SplitConnectionText(text);
    std::string provider = detail::ToLowerAscii(Lookup(pairs, "provider"));
    std::string driver = detail::ToLowerAscii(Lookup(pairs, "driver"));
    if (!driver.empty() && driver.front() != '{') {
        driver = "{" + driver + "}";
    }
    if (provider == kJetProvider) {
        return EmbeddedSettings(Lookup(pairs, "data source"),
                                Lookup(pairs, "jet oledb:database password"), text);
    }
    if (provider.empty() && driver == kAccessDriver) {
        return EmbeddedSettings(Lookup(pairs, "dbq"), Lookup(pairs, "pwd"), text);
    }
    if (provider == kPostgresProvider) {
        return ServerSettings(pairs, text);
    }
    if (provider.empty() && driver.empty()) {
        throw DataAccessError(
            fmt::format("The connection text names no provider or driver: \"{}\"", trimmed));
    }
    throw DataAccessError(
        fmt::format("Provider cannot be found: \"{}\" is not a known {}",
                    provider.empty() ? Lookup(pairs, "driver") : Lookup(pairs, "provider"),
                    provider.empty() ? "driver" : "provider"));
}

std::string EmbeddedConnectionText(std::string_view path, std::string_view password) {
    std::string text = fmt::format("Provider=Microsoft.Jet.OLEDB.4.0;Data Source={}", path);
    if (!password.empty()) {
        text += fmt::format(";Jet OLEDB:Database Password={}", password);
    }
    return text;
}

}  // namespace vesk::data
