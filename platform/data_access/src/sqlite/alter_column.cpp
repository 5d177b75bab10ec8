#include "sqlite/alter_column.h"

#include <vector>

#include <fmt/format.h>

#include "sql_tokens.h"
#include "text_util.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {

namespace {

std::function<void(int)>& FaultHook() {
    static std::function<void(int)> hook;
    return hook;
}

// Words that end a column's type and start its constraints.
bool IsConstraintWord(const Token& token) {
    for (std::string_view word : {"CONSTRAINT", "PRIMARY", "NOT", "NULL", "UNIQUE", "CHECK",
                                  "DEFAULT", "COLLATE", "REFERENCES", "GENERATED", "AS"}) {
        if (token.Is(word)) {
            return true;
        }
    }
    return false;
}

bool IsTableConstraint(const Token& token) {
    return token.Is("CONSTRAINT") || token.Is("PRIMARY") || token.Is("UNIQUE") ||
           token.Is("CHECK") || token.Is("FOREIGN");
}

struct Span {
    std::size_t begin;
    std::size_t end;
};

// Splits the column definitions of a CREATE TABLE into token ranges [first, last).
std::vector<std::pair<std::size_t, std::size_t>> ColumnDefinitions(
    const std::vector<Token>& tokens) {
    std::vector<std::pair<std::size_t, std::size_t>> definitions;
    std::size_t open = 0;
    while (open < tokens.size() && !tokens[open].IsPunct('(')) {
        ++open;
    }
    int depth = 0;
    std::size_t start = open + 1;
    for (std::size_t index = open; index < tokens.size(); ++index) {
        if (tokens[index].IsPunct('(')) {
            ++depth;
        } else if (tokens[index].IsPunct(')') && --depth == 0) {
            definitions.emplace_back(start, index);
            break;
        } else if (tokens[index].IsPunct(',') && depth == 1) {
            definitions.emplace_back(start, index);
            start = index + 1;
        }
    }
    return definitions;
}

// Where the type of a column definition stands; an empty span just after the name when
// the column has no type.
Span TypeSpan(const std::vector<Token>& tokens, std::size_t first, std::size_t last) {
    std::size_t typeEnd = first + 1;
    int depth = 0;
    while (typeEnd < last) {
        const Token& token = tokens[typeEnd];
        if (depth == 0 && IsConstraintWord(token)) {
            break;
        }
        depth += token.IsPunct('(') ? 1 : token.IsPunct(')') ? -1 : 0;
        ++typeEnd;
    }
    std::size_t nameEnd = tokens[first].end;
    if (typeEnd == first + 1) {
        return {nameEnd, nameEnd};
    }
    return {tokens[first + 1].begin, tokens[typeEnd - 1].end};
}

struct TableDefinition {
    std::string name;                     // as stored
    std::string createSql;                // CREATE TABLE text
    std::vector<std::string> dependents;  // CREATE INDEX and CREATE TRIGGER texts
    std::string columnList;               // the quoted column names, comma-separated
};

TableDefinition ReadDefinition(const SqliteDatabase& database, std::string_view table) {
    TableDefinition definition;
    SqliteStatement lookup(database,
                           "SELECT name, sql FROM sqlite_master WHERE type = 'table' AND "
                           "name = ? COLLATE NOCASE");
    lookup.BindText(1, table);
    if (!lookup.Step()) {
        throw DataAccessError(fmt::format("Cannot alter a column: no such table: {}", table));
    }
    definition.name = lookup.ColumnText(0);
    definition.createSql = lookup.ColumnText(1);
    lookup.Reset();
    SqliteStatement dependents(database,
                               "SELECT sql FROM sqlite_master WHERE tbl_name = ? AND type IN "
                               "('index', 'trigger') AND sql IS NOT NULL ORDER BY rowid");
    dependents.BindText(1, definition.name);
    while (dependents.Step()) {
        definition.dependents.push_back(dependents.ColumnText(0));
    }
    SqliteStatement columns(database,
                            fmt::format("PRAGMA table_info({})", QuoteIdentifier(definition.name)));
    while (columns.Step()) {
        definition.columnList +=
            (definition.columnList.empty() ? "" : ", ") + QuoteIdentifier(columns.ColumnText(1));
    }
    return definition;
}

// The CREATE TABLE text with the table's name replaced by `newName`.
std::string RenameInCreate(std::string_view createSql, std::string_view newName) {
    std::vector<Token> tokens = Tokenize(createSql);
    std::size_t index = 2;  // after CREATE TABLE
    if (index + 2 < tokens.size() && tokens[index].Is("IF")) {
        index += 3;  // IF NOT EXISTS
    }
    const Token& name = tokens.at(index);
    return std::string(createSql.substr(0, name.begin)) + QuoteIdentifier(newName) +
           std::string(createSql.substr(name.end));
}

void Step(const SqliteDatabase& database, int step, const std::string& sql) {
    if (FaultHook()) {
        FaultHook()(step);
    }
    database.Run(sql);
}

}  // namespace

std::optional<AlterColumnStatement> ParseAlterColumn(std::string_view sql) {
    std::vector<Token> tokens = Tokenize(sql);
    if (tokens.size() < 5 || !tokens[0].Is("ALTER") || !tokens[1].Is("TABLE") ||
        !tokens[2].IsName() || !tokens[3].Is("ALTER")) {
        return std::nullopt;
    }
    std::size_t columnIndex = tokens[4].Is("COLUMN") ? 5 : 4;
    if (columnIndex >= tokens.size() || !tokens[columnIndex].IsName()) {
        return std::nullopt;
    }
    AlterColumnStatement alter;
    alter.table = UnquoteName(tokens[2]);
    alter.column = UnquoteName(tokens[columnIndex]);
    std::string_view type = sql.substr(tokens[columnIndex].end);
    while (!type.empty() && (type.back() == ';' || Trim(type.substr(type.size() - 1)).empty())) {
        type.remove_suffix(1);
    }
    alter.type = std::string(Trim(type));
    return alter;
}

std::optional<std::string> ReplaceColumnType(std::string_view createSql, std::string_view column,
                                             std::string_view type) {
    std::vector<Token> tokens = Tokenize(createSql);
    for (auto [first, last] : ColumnDefinitions(tokens)) {
        if (first >= last || IsTableConstraint(tokens[first]) ||
            !EqualsIgnoringCase(UnquoteName(tokens[first]), column)) {
            continue;
        }
        Span span = TypeSpan(tokens, first, last);
        std::string replacement =
            span.begin == span.end ? " " + std::string(type) : std::string(type);
        return std::string(createSql.substr(0, span.begin)) + replacement +
               std::string(createSql.substr(span.end));
    }
    return std::nullopt;
}

void AlterColumnType(const SqliteDatabase& database, const AlterColumnStatement& alter) {
    TableDefinition definition = ReadDefinition(database, alter.table);
    auto newCreate = ReplaceColumnType(definition.createSql, alter.column, alter.type);
    if (!newCreate) {
        throw DataAccessError(fmt::format("Cannot alter a column: no such column: {}.{}",
                                          definition.name, alter.column));
    }
    std::string rebuildName = definition.name + "__vesk_rebuild";
    std::string quotedOld = QuoteIdentifier(definition.name);
    std::string quotedNew = QuoteIdentifier(rebuildName);
    SqliteSavepoint savepoint(database);
    int step = 0;
    Step(database, ++step, RenameInCreate(*newCreate, rebuildName));
    // Row ids are copied too, so keys that open record sets hold stay valid.
    Step(database, ++step,
         fmt::format("INSERT INTO {0} (rowid, {2}) SELECT rowid, {2} FROM {1}", quotedNew,
                     quotedOld, definition.columnList));
    Step(database, ++step, fmt::format("DROP TABLE {}", quotedOld));
    Step(database, ++step, fmt::format("ALTER TABLE {} RENAME TO {}", quotedNew, quotedOld));
    for (const std::string& dependent : definition.dependents) {
        Step(database, ++step, dependent);
    }
    savepoint.Release();
}

void SetAlterColumnFaultHook(std::function<void(int step)> hook) {
    FaultHook() = std::move(hook);
}

}  // namespace vesk::data_access::detail
