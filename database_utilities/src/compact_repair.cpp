#include <exception>
#include <filesystem>

#include "build_flavour.h"
#include "compaction_steps.h"
#include "database_engine.h"
#include "file_replacement.h"
#include "messages.h"
#include "vesk/dbutil/database_utilities.h"
#include "vesk/ui/current_ui.h"

namespace vesk::dbutil {

namespace {

void RemoveLeftover(const std::string& tempFile) {
    detail::ReachCompactionStep(detail::CompactionStep::RemoveLeftover);
    if (detail::IsRegularFile(tempFile)) {
        std::filesystem::remove(tempFile);
    }
}

}  // namespace

// The copy replaces the database by an atomic rename only after it has been checked and
// flushed, so the file at FileName is always a whole database. A failure of the legacy
// build's final open is reported like any other, though the file is compacted by then.
bool DatabaseUtilities::CompactDatabase(const std::string& FileName, std::string& TempFolder,
                                        const std::string& sDBPassword) {
    if (TempFolder.empty() || TempFolder.back() != '/') {
        TempFolder += '/';
    }
    if (!detail::IsRegularFile(FileName)) {
        return false;
    }
    try {
        const std::string tempFile = TempFolder + m_flavour->compactionTempName;
        RemoveLeftover(tempFile);
        detail::Engine().CompactDatabase(FileName, tempFile,
                                         m_flavour->compactsWithPassword ? sDBPassword : "");
        detail::ReplaceFile(tempFile, FileName);
        if (m_flavour->opensAfterCompaction) {
            detail::Engine().OpenDatabase(FileName);
        }
    } catch (const std::exception& error) {
        platform::Ui().MessageBox(error.what(), messages::kExclamation,
                                  messages::kCompactErrorTitle);
        return false;
    }
    return true;
}

bool DatabaseUtilities::RepairDatabase(const std::string& FileName) {
    if (!detail::IsRegularFile(FileName)) {
        platform::Ui().MessageBox(messages::kRepairFileNotFound, messages::kExclamation,
                                  messages::kFileNotFoundTitle);
        return false;
    }
    try {
        detail::Engine().RepairDatabase(FileName);
    } catch (const std::exception& error) {
        platform::Ui().MessageBox(error.what(), messages::kExclamation,
                                  messages::kRepairErrorTitle);
        return false;
    }
    return true;
}

}  // namespace vesk::dbutil
