#include "database_engine.h"

#include <filesystem>
#include <stdexcept>

#include "compaction_steps.h"
#include "file_replacement.h"
#include "vesk/data_access/connection.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/database_file.h"

namespace vesk::dbutil::detail {

namespace {

// A copy that fails this check never replaces the database.
void CheckCopy(const std::string& source, const std::string& copy, const std::string& password) {
    std::vector<std::string> problems = data::CheckIntegrity(copy, password);
    if (!problems.empty()) {
        throw std::runtime_error("The compacted copy is damaged: " + problems.front());
    }
    if (data::ReadContents(copy, password) != data::ReadContents(source, password)) {
        throw std::runtime_error(
            "The compacted copy does not hold the same tables and rows as the database");
    }
}

}  // namespace

void DatabaseEngine::CompactDatabase(const std::string& source, const std::string& destination,
                                     const std::string& password) const {
    ReachCompactionStep(CompactionStep::ExportCopy);
    data::ExportDatabaseCopy(source, destination, password);
    ReachCompactionStep(CompactionStep::CheckCopy);
    CheckCopy(source, destination, password);
}

// Opening reads the schema, so a file that is no unkeyed database fails here.
void DatabaseEngine::OpenDatabase(const std::string& path) const {
    ReachCompactionStep(CompactionStep::OpenCompacted);
    data::Connection connection;
    connection.Open(data::EmbeddedConnectionText(path));
    connection.Close();
}

void DatabaseEngine::RepairDatabase(const std::string& path) const {
    if (data::CheckIntegrity(path, {}).empty()) {
        return;
    }
    std::string rebuilt = path + ".repairing";
    std::filesystem::remove(rebuilt);
    data::SalvageReadableRows(path, rebuilt);
    KeepFileAs(path, path + ".damaged");
    ReplaceFile(rebuilt, path);
}

const DatabaseEngine& Engine() {
    static thread_local const DatabaseEngine engine;
    return engine;
}

}  // namespace vesk::dbutil::detail
