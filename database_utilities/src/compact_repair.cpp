#include <exception>
#include <filesystem>

#include "compaction_steps.h"
#include "database_engine.h"
#include "file_replacement.h"
#include "messages.h"
#include "vesk/dbutil/database_utilities.h"
#include "vesk/ui/current_ui.h"

namespace vesk::dbutil {

namespace {

constexpr const char* kTempFileName = "CompactTemp.vsk";

void RemoveLeftover(const std::string& tempFile) {
    detail::ReachCompactionStep(detail::CompactionStep::RemoveLeftover);
    if (detail::IsRegularFile(tempFile)) {
        std::filesystem::remove(tempFile);
    }
}

}  // namespace

// The copy replaces the database by an atomic rename only after it has been checked and
// flushed, so the file at FileName is always a whole database.
bool DatabaseUtilities::CompactDatabase(const std::string& FileName, std::string& TempFolder,
                                        const std::string& sDBPassword) {
    if (TempFolder.empty() || TempFolder.back() != '/') {
        TempFolder += '/';
    }
    if (!detail::IsRegularFile(FileName)) {
        return false;
    }
    try {
        const std::string tempFile = TempFolder + kTempFileName;
        RemoveLeftover(tempFile);
        detail::Engine().CompactDatabase(FileName, tempFile, sDBPassword);
        detail::ReplaceFile(tempFile, FileName);
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
