#include "database_engine.h"

#include <filesystem>
#include <stdexcept>

#include "compaction_steps.h"
#include "file_replacement.h"
#include "own_temporary_file.h"
#include "vesk/data_access/connection.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/locked_database.h"

namespace vesk::dbutil::detail {

namespace {

// A copy that fails this check never replaces the database. The row checksums tell a copy
// of this database from a copy of another with the same schema and counts.
void CheckCopy(const data::LockedDatabase& source, const std::string& copy,
               const std::string& password) {
    std::vector<std::string> problems = data::CheckIntegrity(copy, password);
    if (!problems.empty()) {
        throw std::runtime_error("The compacted copy is damaged: " + problems.front());
    }
    if (data::ReadContents(copy, password) != source.Contents()) {
        throw std::runtime_error(
            "The compacted copy does not hold the same tables and rows as the database");
    }
}

void WriteCheckedCopy(const data::LockedDatabase& database, const CompactionTemp& temp,
                      const std::string& password) {
    OwnTemporaryFile copy(temp.stem, temp.extension);
    ReachCompactionStep(CompactionStep::ExportCopy);
    database.ExportCopy(copy.Path());
    ReachCompactionStep(CompactionStep::CheckCopy);
    CheckCopy(database, copy.Path(), password);
    ReachCompactionStep(CompactionStep::WriteBack);
    database.WriteBack(copy.Path());
    ReachCompactionStep(CompactionStep::Unlock);
}

}  // namespace

void DatabaseEngine::CompactDatabase(const std::string& source, const CompactionTemp& temp,
                                     const std::string& password) const {
    data::LockedDatabase database(source, password);
    ReachCompactionStep(CompactionStep::RemoveLeftover);
    OwnTemporaryFile::RemoveLeftovers(temp.stem, temp.extension);
    WriteCheckedCopy(database, temp, password);
}

// Opening reads the schema, so a file that is no unkeyed database fails here.
void DatabaseEngine::OpenDatabase(const std::string& path) const {
    ReachCompactionStep(CompactionStep::OpenCompacted);
    data::Connection connection;
    connection.Open(data::EmbeddedConnectionText(path));
    connection.Close();
}

// The rows are read from a scratch copy whose page count fits its length, so that the damaged
// file itself is never written and a cut-off file still opens.
data::SalvageReport DatabaseEngine::RepairDatabase(const std::string& path,
                                                   const std::string& password,
                                                   std::string& keptAs) const {
    data::RequireReadableHeader(path);
    if (data::CheckIntegrity(path, password).empty()) {
        return {};
    }
    const std::string stem = path + ".repairing";
    OwnTemporaryFile::RemoveLeftovers(stem, "");
    OwnTemporaryFile readable(stem, "");
    std::filesystem::copy_file(path, readable.Path(),
                               std::filesystem::copy_options::overwrite_existing);
    data::FitPageCountToLength(readable.Path());
    OwnTemporaryFile rebuilt(stem, "");
    data::SalvageReport report =
        data::SalvageReadableRows(readable.Path(), rebuilt.Path(), password);
    keptAs = KeepFileAs(path, path + ".damaged");
    ReplaceFile(rebuilt.Path(), path);
    rebuilt.Release();
    return report;
}

const DatabaseEngine& Engine() {
    static thread_local const DatabaseEngine engine;
    return engine;
}

}  // namespace vesk::dbutil::detail
