#include <sys/stat.h>

#include <cerrno>
#include <exception>
#include <filesystem>
#include <system_error>

#include <fmt/format.h>

#include "build_flavour.h"
#include "compaction_steps.h"
#include "database_engine.h"
#include "file_replacement.h"
#include "messages.h"
#include "vesk/database_utilities/database_utilities.h"
#include "vesk/files/file_error.h"
#include "vesk/ui/current_ui.h"

namespace vesk::database_utilities {

namespace {

// The temporary file's pattern names the database by device and inode, so that a leftover is
// only ever removed by a compaction of the same database. An empty folder means the
// database's own folder.
detail::CompactionTemp TempFor(const std::string& fileName, const std::string& tempFolder,
                               const BuildFlavour& flavour) {
    struct stat status {};
    if (::stat(fileName.c_str(), &status) != 0) {
        throw files::FileError("Cannot look up", fileName,
                               std::error_code(errno, std::generic_category()));
    }
    std::string folder = tempFolder;
    if (folder.empty()) {
        std::string own = std::filesystem::path(fileName).parent_path().string();
        folder = (own.empty() ? "." : own) + "/";
    }
    return {folder + fmt::format("{}-{:x}.{:x}", flavour.compactionTempStem, status.st_dev,
                                 status.st_ino),
            flavour.compactionTempExtension};
}

}  // namespace

// The copy is made and checked under the database's exclusive lock and written back through
// the engine's own journal, so the file is always a whole database and no write made by
// another connection is lost. A failure of the legacy build's final open is reported like any
// other, though the file is compacted by then.
bool DatabaseUtilities::CompactDatabase(const std::string& FileName, std::string& TempFolder,
                                        const std::string& sDBPassword) {
    const bool ownFolder = TempFolder.empty();
    if (TempFolder.empty() || TempFolder.back() != '/') {
        TempFolder += '/';
    }
    if (!detail::IsRegularFile(FileName)) {
        return false;
    }
    try {
        detail::Engine().CompactDatabase(
            FileName, TempFor(FileName, ownFolder ? "" : TempFolder, *m_flavour),
            m_flavour->compactsWithPassword ? sDBPassword : "",
            CompactByRename ? detail::CompactionReplacement::Rename
                            : detail::CompactionReplacement::WriteBack);
        if (m_flavour->opensAfterCompaction) {
            detail::Engine().OpenDatabase(FileName);
        }
    } catch (const std::exception& error) {
        ui::Ui().MessageBox(error.what(), messages::kExclamation, messages::kCompactErrorTitle);
        return false;
    }
    return true;
}

bool DatabaseUtilities::RepairDatabase(const std::string& FileName, const std::string& Password) {
    if (!detail::IsRegularFile(FileName)) {
        ui::Ui().MessageBox(messages::kRepairFileNotFound, messages::kExclamation,
                            messages::kFileNotFoundTitle);
        return false;
    }
    m_repairReport.clear();
    m_repairKeptAs.clear();
    try {
        m_repairReport = detail::Engine().RepairDatabase(FileName, Password, m_repairKeptAs).tables;
    } catch (const std::exception& error) {
        ui::Ui().MessageBox(error.what(), messages::kExclamation, messages::kRepairErrorTitle);
        return false;
    }
    return true;
}

}  // namespace vesk::database_utilities
