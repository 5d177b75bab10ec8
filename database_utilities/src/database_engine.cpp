#include "database_engine.h"

#include <sys/stat.h>

#include <filesystem>
#include <future>
#include <stdexcept>

#include "compaction_steps.h"
#include "file_replacement.h"
#include "own_temporary_file.h"
#include "vesk/data_access/connection.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/locked_database.h"

namespace vesk::database_utilities::detail {

namespace {

// The copy's rows, read through its own connection; damage found while reading is reported
// as the copy's.
data_access::DatabaseContents CopyContents(const std::string& copy, const std::string& password) {
    try {
        return data_access::ReadContents(copy, password);
    } catch (const data_access::DataAccessError& error) {
        throw data_access::DataAccessError("The compacted copy is damaged: " + error.Description(),
                                           error.EngineCode(), error.Statement());
    }
}

// A copy that fails this check never replaces the database. The row checksums tell a copy
// of this database from a copy of another with the same schema and counts. Every row of the
// copy is read once, through the engine's page checks; a full integrity check of the copy
// would be a second pass over it, costing about as much as the export.
void CheckCopy(std::future<data_access::DatabaseContents>& original, const std::string& copy,
               const std::string& password) {
    data_access::DatabaseContents copied = CopyContents(copy, password);
    if (copied != original.get()) {
        throw data_access::DataAccessError(
            "The compacted copy does not hold the same tables and rows as the database");
    }
}

// True when renaming `copy` over `database` replaces the one file the database is: a regular
// file (not a link) with no second name, on the copy's file system.
bool CanRenameOver(const std::string& copy, const std::string& database) {
    struct stat copyStatus {};
    struct stat databaseStatus {};
    return ::lstat(copy.c_str(), &copyStatus) == 0 &&
           ::lstat(database.c_str(), &databaseStatus) == 0 && S_ISREG(databaseStatus.st_mode) &&
           databaseStatus.st_nlink == 1 && databaseStatus.st_dev == copyStatus.st_dev;
}

void WriteCheckedCopy(const data_access::LockedDatabase& database, const std::string& source,
                      const CompactionTemp& temp, const std::string& password,
                      CompactionReplacement replacement) {
    OwnTemporaryFile copy(temp.stem, temp.extension);
    ReachCompactionStep(CompactionStep::ExportCopy);
    // The database's own rows are read while the copy is written.
    std::future<data_access::DatabaseContents> original = database.ContentsInBackground();
    database.ExportCopy(copy.Path());
    ReachCompactionStep(CompactionStep::CheckCopy);
    CheckCopy(original, copy.Path(), password);
    ReachCompactionStep(CompactionStep::WriteBack);
    if (replacement == CompactionReplacement::Rename && CanRenameOver(copy.Path(), source)) {
        // Still under the lock: a writer waiting for it finds the old file moved afterwards.
        ReplaceFile(copy.Path(), source);
        copy.Release();
    } else {
        database.WriteBack(copy.Path());
    }
    ReachCompactionStep(CompactionStep::Unlock);
}

}  // namespace

void DatabaseEngine::CompactDatabase(const std::string& source, const CompactionTemp& temp,
                                     const std::string& password,
                                     CompactionReplacement replacement) const {
    data_access::LockedDatabase database(source, password);
    ReachCompactionStep(CompactionStep::RemoveLeftover);
    OwnTemporaryFile::RemoveLeftovers(temp.stem, temp.extension);
    WriteCheckedCopy(database, source, temp, password, replacement);
}

// Opening reads the schema, so a file that is no unkeyed database fails here.
void DatabaseEngine::OpenDatabase(const std::string& path) const {
    ReachCompactionStep(CompactionStep::OpenCompacted);
    data_access::Connection connection;
    connection.Open(data_access::EmbeddedConnectionText(path));
    connection.Close();
}

// The rows are read from a scratch copy whose page count fits its length, so that the damaged
// file itself is never written and a cut-off file still opens.
data_access::SalvageReport DatabaseEngine::RepairDatabase(const std::string& path,
                                                          const std::string& password,
                                                          std::string& keptAs) const {
    data_access::RequireReadableHeader(path);
    if (data_access::CheckIntegrity(path, password).empty()) {
        return {};
    }
    const std::string stem = path + ".repairing";
    OwnTemporaryFile::RemoveLeftovers(stem, "");
    OwnTemporaryFile readable(stem, "");
    std::filesystem::copy_file(path, readable.Path(),
                               std::filesystem::copy_options::overwrite_existing);
    data_access::FitPageCountToLength(readable.Path());
    OwnTemporaryFile rebuilt(stem, "");
    data_access::SalvageReport report =
        data_access::SalvageReadableRows(readable.Path(), rebuilt.Path(), password);
    keptAs = KeepFileAs(path, path + ".damaged");
    ReplaceFile(rebuilt.Path(), path);
    rebuilt.Release();
    return report;
}

const DatabaseEngine& Engine() {
    static thread_local const DatabaseEngine engine;
    return engine;
}

}  // namespace vesk::database_utilities::detail
