#include "vesk/photo_store/photo_table.h"

#include <fmt/format.h>

#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/sql_text.h"
#include "vesk/data_access/transaction.h"

namespace vesk::photo_store {

// On the server the default mark is a smallint, which takes the 0 and 1 that hosts' own
// statements write there; a boolean column would refuse them. The store itself writes marks
// of either type.
std::vector<std::string> PhotoTableDefinition(const PhotoTableNames& names,
                                              const data_access::Connection& connection) {
    constexpr const char* kEmbeddedTable =
        "CREATE TABLE {} ({} Text (50), {} Text (100), {} Text (50), {} Memo, {} YESNO, {} "
        "LONGBINARY)";
    constexpr const char* kServerTable =
        "CREATE TABLE {} ({} varchar(50), {} varchar(100), {} varchar(50), {} text, {} smallint, "
        "{} bytea)";
    data_access::ConnectionSettings settings =
        data_access::ParseConnectionText(connection.ConnectionString());
    bool onServer = settings.provider == data_access::Provider::PostgreSql;
    std::string table =
        fmt::format(fmt::runtime(onServer ? kServerTable : kEmbeddedTable), names.table,
                    names.codeColumn, names.descriptionColumn, names.groupColumn,
                    names.commentsColumn, names.defaultColumn, names.photoColumn);
    std::string index = fmt::format("CREATE INDEX {} ON {} ({}, {})",
                                    data_access::QuoteIdentifier(names.table + "_Owner"),
                                    names.table, names.groupColumn, names.codeColumn);
    return {table, index};
}

void CreatePhotoTable(const data_access::ConnectionPtr& connection, const PhotoTableNames& names) {
    data_access::Transaction creating(connection);
    for (const std::string& statement : PhotoTableDefinition(names, *connection)) {
        connection->Execute(statement);
    }
    creating.Commit();
}

void UsePhotoTable(CPicture& store, const PhotoTableNames& names) {
    store.TableName = names.table;
    store.OwnerIDField = names.codeColumn;
    store.OwnerDescField = names.descriptionColumn;
    store.OwnerGroupField = names.groupColumn;
    store.OwnerCommentsField = names.commentsColumn;
    store.OwnerDefaultPhotoField = names.defaultColumn;
    store.OwnerPhotoField = names.photoColumn;
}

}  // namespace vesk::photo_store
