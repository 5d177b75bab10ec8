#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/database_file.h"
#include "vesk/data_access/recordset.h"
#include "vesk/database_utilities/copy_report.h"
#include "vesk/database_utilities/database_utilities_events.h"
#include "vesk/events/listeners.h"

namespace vesk::database_utilities {

namespace detail {
struct FixRun;  // the working values of one FixFields call
}  // namespace detail
struct BuildFlavour;  // what sets the current and the legacy build apart

// The kind of the main database: it selects the SQL dialect and type names of FixFields. Any
// other value is accepted and gets no type names at all, like DBOracle.
enum DBTypes : std::int32_t {
    DBDefault = 0,  // an embedded (file) database
    DBSqlServer = 1,
    DBOracle = 2,
    DBPostgreSQL = 3,  // the server database
};

// A statement of FixFields that the database refused, with the database's description.
struct FailedStatement {
    std::string statement;
    std::string description;

    bool operator==(const FailedStatement&) const = default;
};

// The database utilities: new database files and schema repair of a main database against a
// template. The host sets the members, calls the operations and hears from the object through
// DatabaseUtilitiesEvents. No operation throws: failures are shown in message boxes through
// the UI services or skipped step by step, as each operation says. This is the current build
// (libVeskPayDBUtilities.so); legacy::DatabaseUtilities is the older one.
class DatabaseUtilities {
public:
    DatabaseUtilities();
    virtual ~DatabaseUtilities() = default;  // the legacy build derives from it
    DatabaseUtilities(const DatabaseUtilities&) = delete;
    DatabaseUtilities& operator=(const DatabaseUtilities&) = delete;

    // Listeners of the notifications, called in the order they were added. Not owned.
    void Advise(DatabaseUtilitiesEvents* listener);
    void Unadvise(DatabaseUtilitiesEvents* listener);

    // The public data members: plain properties that the host reads and writes directly.
    bool OperationCancelled = false;  // FixFields stops before its next table; never reset here
    data_access::ConnectionPtr
        MainFileConnection;   // the host's open connection to the main database
    std::string TemplatePWD;  // the template's password, also given to new databases
    DBTypes DBType = DBDefault;

    // Stored and returned as given. Only MakeConnections reads TemplateFilePath.
    const std::string& TemplateFilePath() const { return m_templateFilePath; }
    void SetTemplateFilePath(const std::string& path) { m_templateFilePath = path; }
    const std::string& TempFolderPath() const { return m_tempFolderPath; }
    void SetTempFolderPath(const std::string& path) { m_tempFolderPath = path; }

    // Creates a new, empty database file at `sPath` keyed with TemplatePWD and fires
    // DatabaseCreated. On failure (a file exists there, the folder is missing) shows the
    // description in a box titled "Error Creating Database" and returns false.
    bool CreateDatabase(const std::string& sPath);

    // Brings the tables and columns of the main database into line with the template: creates
    // missing tables, adds missing columns, alters columns whose defined size differs; only the
    // template table named `TableName` (exact letter case) when it is not empty. Reports
    // through Progress and ProcessDone; failing statements are skipped (see FailedStatements).
    void FixFields(const std::string& TableName = {});

    // Releases both schema catalogs; the next FixFields connects anew.
    void DoCleanUp();

    // --- Copying data between databases (copy_data.cpp, copy_large_field.cpp). ---

    // Adds the rows of every source table to the destination table of the same name, skipping
    // rows whose first-column value the destination already holds (by its own comparison);
    // reports each table through ProgressUpsize and runs the event pump once a row. A failing
    // step is skipped; nothing is thrown or shown (see CopyReports and CopyFailure).
    void CopyDataFromDBtoDB(const data_access::ConnectionPtr& SourceConnection,
                            const data_access::ConnectionPtr& DestConnection);

    // New rows of CopyDataFromDBtoDB stored together in one commit; below 1 counts as 1. With
    // 1, the default, each row is committed before the next event pump: the host and other
    // connections see the rows copied so far, and an interruption loses nothing stored. With
    // more, rows are kept back in memory until their group is full and then committed
    // together (much faster): until then the host does not see them, and an interruption
    // loses up to that many rows less one, which a second copy adds. No transaction stays open
    // across an event pump either way.
    long RowsPerCommit = 1;

    // Appends the value of `fldSource` to `fldDestination`: the size mod 16384 bytes first, then
    // pieces of 16384. A failure ends the copy silently; the result is always empty. `rsSorc`
    // is not used.
    data_access::Variant CopyLargeField(data_access::Field& fldSource,
                                        data_access::Field& fldDestination,
                                        data_access::Recordset& rsSorc);

    // --- Compacting and repairing database files (compact_repair.cpp). ---

    // Compacts the database file `FileName` (key `sDBPassword`) in place through a new
    // temporary file TempFolder + "CompactTemp-" + a unique part + ".vsk" (an empty
    // `TempFolder`: the file's own folder); a '/' is appended to `TempFolder` when it lacks one.
    // Writes made meanwhile by other connections wait and are kept. False, silently, when the
    // file is missing; false with a message box when a step fails.
    // On a legacy object it works as legacy::DatabaseUtilities::CompactDatabase does.
    bool CompactDatabase(const std::string& FileName, std::string& TempFolder,
                         const std::string& sDBPassword = {});

    // How CompactDatabase puts the checked copy in the file's place. False, the default: the
    // copy is written back into the file through the engine's journal, so the file keeps its
    // inode, mode and owner and connections left open see the compacted database. True: the
    // copy is flushed, given the file's mode (and owner, where allowed) and renamed over it,
    // all or nothing, under the same lock (about twice as fast: written once, not twice). Then
    // connections opened before keep reading the old content and the engine refuses their
    // writes ("attempt to write a readonly database"): for files no other program has open.
    // A link, a file with a second name or a temporary folder on another file system is
    // written back as by default.
    bool CompactByRename = false;

    // Checks the file `FileName` (keyed with `Password`; empty: none); a damaged one is rebuilt
    // from its readable rows, keyed alike, and the original kept as FileName + ".damaged"
    // (".damaged.1", ... when that name is taken). False with a message box on failure.
    bool RepairDatabase(const std::string& FileName, const std::string& Password = {});

    // What the last RepairDatabase kept and lost, per table; empty when the file was sound.
    const std::vector<data_access::TableSalvageReport>& RepairReport() const {
        return m_repairReport;
    }
    // Where the last RepairDatabase kept the damaged file; empty when it rebuilt nothing.
    const std::string& RepairKeptAs() const { return m_repairKeptAs; }

    // The statements the database refused in the last FixFields; they are still counted in
    // ProcessDone, as hosts expect.
    const std::vector<FailedStatement>& FailedStatements() const { return m_failedStatements; }

    // Hands `trace` to every connection the object opens for its statements (empty: none).
    void SetStatementTrace(data_access::StatementTrace trace) {
        m_statementTrace = std::move(trace);
    }

    // FixFields sends its statements through `connection` (open, kept by the caller, given
    // the statement trace) instead of a connection of its own; empty: its own again. A caller
    // that began a transaction on it can undo the whole repair.
    void SetFixConnection(data_access::ConnectionPtr connection) {
        m_fixConnection = std::move(connection);
    }

    // Why the last CopyDataFromDBtoDB stopped before its end (a database it could no longer
    // reach); none when it ran to its end. The rows stored until then stay.
    const std::optional<data_access::DataAccessError>& CopyFailure() const { return m_copyFailure; }
    // What the last CopyDataFromDBtoDB did with each source table it copied, in catalog order
    // (views and other entries are not listed).
    const std::vector<TableCopyReport>& CopyReports() const { return m_copyReports; }

    // Helpers that the component's own interface keeps private; open here to C++ callers.

    // `text` with every single quote doubled, for use between single quotes in a statement.
    std::string FixQuotes(const std::string& text) const;
    // Connects TemplateCatalog to the template file and MainCatalog to MainFileConnection. A
    // missing template or a failure shows a message box and returns false.
    bool MakeConnections();
    // True when both catalogs are set, making them first (MakeConnections) when either is not.
    bool CheckConnections();
    // The SQL type text of an ADO type code for DBType; `sizeSuffix` becomes " (size)" for
    // sized types ("(size)" for DBPostgreSQL) and empty otherwise. Empty for codes and DBType
    // values without a name.
    std::string GetFieldTypeName(int typeCode, double size, std::string& sizeSuffix) const;

protected:
    // An object of the build that `flavour` describes; it must outlive the object.
    explicit DatabaseUtilities(const BuildFlavour& flavour);

private:
    template <typename Deliver>
    void Fire(Deliver&& deliver) {
        m_listeners.Fire(std::forward<Deliver>(deliver));
    }
    void FireProgress(std::string TableName, std::int16_t& TotalTables, std::int16_t& TotalFields,
                      std::int16_t& FieldNo, std::int16_t& TableNo);
    // Progress for a catalog entry as a whole: no column counts.
    void FireEntryProgress(std::string TableName, std::int16_t& TotalTables, std::int16_t& TableNo);

    bool StartFix(detail::FixRun& run);
    data_access::ConnectionPtr OpenFixConnection() const;
    bool ReadCatalogs(detail::FixRun& run);
    void FixCatalogEntry(detail::FixRun& run, long index, const std::string& TableName);
    void CreateMissingTable(detail::FixRun& run, const data_access::Table& table);
    void FixColumns(detail::FixRun& run, const data_access::Table& table, bool isTable);
    void FixColumn(detail::FixRun& run, const data_access::Table& table,
                   const data_access::Column& column);
    std::string ColumnTypeText(const data_access::Column& column) const;
    // Runs one statement on the fix connection; a refusal is kept in FailedStatements and
    // gives false.
    bool RunStatement(detail::FixRun& run, const std::string& statement);

    const BuildFlavour* m_flavour;
    events::Listeners<DatabaseUtilitiesEvents> m_listeners;
    std::string m_templateFilePath;
    std::string m_tempFolderPath;
    data_access::CatalogPtr m_templateCatalog;  // TemplateCatalog
    data_access::CatalogPtr m_mainCatalog;      // MainCatalog
    data_access::StatementTrace m_statementTrace;
    data_access::ConnectionPtr m_fixConnection;
    std::vector<FailedStatement> m_failedStatements;

    // --- Copying data: private members. ---

    void FireProgressUpsize(std::string TableName, std::int16_t TotalTables,
                            std::int16_t TotalFields, std::int16_t& TableNo);
    void CopyTable(data_access::Recordset& source, const data_access::Tables& tables,
                   std::int16_t& TableNo, const data_access::ConnectionPtr& destination);

    data_access::Bytes m_pieceBuffer;  // the piece CopyLargeField moves; reused across calls
    std::optional<data_access::DataAccessError> m_copyFailure;
    std::vector<TableCopyReport> m_copyReports;

    // --- Compacting and repairing: private members. ---
    std::vector<data_access::TableSalvageReport> m_repairReport;
    std::string m_repairKeptAs;
};

}  // namespace vesk::database_utilities
