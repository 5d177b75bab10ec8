#include "vesk/data_access/connection_text.h"

#include <vector>

#include <fmt/format.h>

#include "text_util.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/password_mask.h"

namespace vesk::data_access {

namespace {

constexpr std::string_view kJetProvider = "microsoft.jet.oledb.4.0";
constexpr std::string_view kAccessDriver = "{microsoft access driver (*.mdb)}";
constexpr std::string_view kPostgresProvider = "postgresql";

struct Pair {
    std::string key;  // as written, trimmed
    std::string value;
};

std::string Lookup(const std::map<std::string, std::string>& pairs, std::string_view key) {
    auto found = pairs.find(std::string(key));
    return found == pairs.end() ? std::string() : found->second;
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
    return pos;
}

// Where a message may say a problem lies, without showing any value.
std::string PlaceAfter(const std::vector<Pair>& pairs) {
    return pairs.empty() ? std::string("at its start")
                         : fmt::format("after the value of {}", pairs.back().key);
}

// The double-quoted value at `pos`; `pos` moves past its closing quote.
std::string ReadQuotedValue(std::string_view text, std::size_t& pos, const std::string& key) {
    std::string value;
    for (std::size_t index = pos + 1; index < text.size(); ++index) {
        if (text[index] != '"') {
            value += text[index];
        } else if (index + 1 < text.size() && text[index + 1] == '"') {
            value += '"';
            ++index;
        } else {
            pos = index + 1;
            return value;
        }
    }
    throw DataAccessError(
        fmt::format("The connection text has a quote that is not closed in the value of {}", key));
}

// The value at `pos`, up to the ';' that ends it; `pos` moves to that ';' (or the end).
std::string ReadValue(std::string_view text, std::size_t& pos, const std::string& key) {
    pos = SkipBlanks(text, pos);
    if (pos < text.size() && text[pos] == '"') {
        std::string value = ReadQuotedValue(text, pos, key);
        pos = SkipBlanks(text, pos);
        if (pos < text.size() && text[pos] != ';') {
            throw DataAccessError(fmt::format(
                "The connection text has more after the closing quote of the value of {}", key));
        }
        return value;
    }
    std::size_t end = std::min(text.find(';', pos), text.size());
    std::string value(detail::Trim(text.substr(pos, end - pos)));
    pos = end;
    return value;
}

// The pairs of a connection text in their order, keys as written.
std::vector<Pair> ReadPairs(std::string_view text) {
    std::vector<Pair> pairs;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        std::size_t end = std::min(text.find_first_of("=;", pos), text.size());
        if (end == text.size() || text[end] == ';') {
            if (!detail::Trim(text.substr(pos, end - pos)).empty()) {
                throw DataAccessError(fmt::format("The connection text has a part without '=' {}",
                                                  PlaceAfter(pairs)));
            }
            pos = end;
            continue;
        }
        Pair pair{std::string(detail::Trim(text.substr(pos, end - pos))), {}};
        pos = end + 1;
        pair.value = ReadValue(text, pos, pair.key);
        pairs.push_back(std::move(pair));
    }
    return pairs;
}

ConnectionSettings EmbeddedSettings(std::string path, std::string password, std::string_view text) {
    if (path.empty()) {
        throw DataAccessError(
            fmt::format("The connection text names no database file: \"{}\"", MaskPasswords(text)));
    }
    ConnectionSettings settings;
    settings.provider = Provider::EmbeddedFile;
    settings.path = std::move(path);
    settings.password = std::move(password);
    return settings;
}

// The keys a PostgreSQL provider text may hold, each with the other names it goes by.
struct ServerKey {
    std::vector<std::string_view> names;
    std::string ConnectionSettings::*setting;
    std::string_view what;
};

const ServerKey kServerKeys[] = {
    {{"host", "server"}, &ConnectionSettings::host, "the server"},
    {{"port"}, &ConnectionSettings::port, "the port"},
    {{"database"}, &ConnectionSettings::database, "the database"},
    {{"user id", "uid", "username", "user name", "user"}, &ConnectionSettings::user, "the user"},
    {{"password", "pwd"}, &ConnectionSettings::password, "the password"},
};

// Keys of the provider's texts that ask for nothing this layer changes.
constexpr std::string_view kIgnoredServerKeys[] = {"provider", "persist security info"};

// Sets the setting `pair` names; false when no server key has its name.
bool SetServerKey(ConnectionSettings& settings, const Pair& pair) {
    std::string key = detail::ToLowerAscii(pair.key);
    for (const ServerKey& known : kServerKeys) {
        for (std::string_view name : known.names) {
            if (key != name) {
                continue;
            }
            std::string& setting = settings.*known.setting;
            if (!setting.empty() && setting != pair.value) {
                throw DataAccessError(
                    fmt::format("The connection text names {} twice, differently (again as {})",
                                known.what, pair.key));
            }
            setting = pair.value;
            return true;
        }
    }
    for (std::string_view ignored : kIgnoredServerKeys) {
        if (key == ignored) {
            return true;
        }
    }
    return false;
}

bool IsPasswordKey(const std::string& key) {
    std::string lower = detail::ToLowerAscii(key);
    return lower == "password" || lower == "pwd";
}

// Names the key the provider does not know; unless it follows a password, when it may be a
// piece of one that holds ';' without quotes.
[[noreturn]] void ThrowUnknownServerKey(const std::vector<Pair>& pairs, std::size_t index) {
    if (index > 0 && IsPasswordKey(pairs[index - 1].key)) {
        throw DataAccessError(fmt::format(
            "The connection text has a key the PostgreSQL provider does not understand after "
            "the value of {} (a password that holds ';' goes between double quotes)",
            pairs[index - 1].key));
    }
    throw DataAccessError(fmt::format(
        "The connection text has a key the PostgreSQL provider does not understand: \"{}\" (it "
        "knows Host or Server, Port, Database, User ID, Uid or Username, and Password or Pwd)",
        pairs[index].key));
}

// A key the provider does not know is refused: a misspelt user or password key would
// otherwise connect as someone else, or without the password.
ConnectionSettings ServerSettings(const std::vector<Pair>& pairs, std::string_view text) {
    ConnectionSettings settings;
    settings.provider = Provider::PostgreSql;
    for (std::size_t pair_idx = 0; pair_idx < pairs.size(); ++pair_idx) {
        if (!SetServerKey(settings, pairs[pair_idx])) {
            ThrowUnknownServerKey(pairs, pair_idx);
        }
    }
    if (settings.database.empty()) {
        throw DataAccessError(
            fmt::format("The connection text names no database: \"{}\"", MaskPasswords(text)));
    }
    return settings;
}

std::map<std::string, std::string> ToMap(const std::vector<Pair>& pairs) {
    std::map<std::string, std::string> map;
    for (const Pair& pair : pairs) {
        map[detail::ToLowerAscii(pair.key)] = pair.value;
    }
    return map;
}

}  // namespace

std::map<std::string, std::string> SplitConnectionText(std::string_view text) {
    return ToMap(ReadPairs(text));
}

ConnectionSettings ParseConnectionText(std::string_view text) {
    std::string_view trimmed = detail::Trim(text);
    if (trimmed.starts_with("postgresql://") || trimmed.starts_with("postgres://")) {
        ConnectionSettings settings;
        settings.provider = Provider::PostgreSql;
        settings.uri = std::string(trimmed);
        return settings;
    }
    std::vector<Pair> list = ReadPairs(text);
    auto pairs = ToMap(list);
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
        return ServerSettings(list, text);
    }
    if (provider.empty() && driver.empty()) {
        throw DataAccessError(fmt::format("The connection text names no provider or driver: \"{}\"",
                                          MaskPasswords(trimmed)));
    }
    throw DataAccessError(
        fmt::format("Provider cannot be found: \"{}\" is not a known {}",
                    provider.empty() ? Lookup(pairs, "driver") : Lookup(pairs, "provider"),
                    provider.empty() ? "driver" : "provider"));
}

std::string ConnectionTextValue(std::string_view value) {
    bool plain = value.find_first_of(";\"") == std::string_view::npos &&
                 detail::Trim(value).size() == value.size();
    if (plain) {
        return std::string(value);
    }
    std::string quoted = "\"";
    for (char c : value) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string EmbeddedConnectionText(std::string_view path, std::string_view password) {
    std::string text =
        fmt::format("Provider=Microsoft.Jet.OLEDB.4.0;Data Source={}", ConnectionTextValue(path));
    if (!password.empty()) {
        text += fmt::format(";Jet OLEDB:Database Password={}", ConnectionTextValue(password));
    }
    return text;
}

}  // namespace vesk::data_access
