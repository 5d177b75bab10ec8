#include "vesk/data_access/locked_database.h"

#include <sqlite3.h>

#include <fmt/format.h>

#include "sqlite/database_copy.h"
#include "sqlite/sqlite_backend.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access {

namespace {

constexpr int kLockAttempts = 3;

// Ends a backup, turning its result into an exception with the engine's text.
void FinishBackup(sqlite3_backup* backup, int stepResult, const detail::SqliteDatabase& target,
                  const std::string& copyPath) {
    int finishResult = sqlite3_backup_finish(backup);
    if (stepResult != SQLITE_DONE || finishResult != SQLITE_OK) {
        target.ThrowLastError(
            fmt::format("Cannot write '{}' back into '{}'", copyPath, target.Path()));
    }
}

}  // namespace

// In exclusive locking mode the session keeps every lock it takes until it closes; the empty
// exclusive transaction takes the strongest one at once. Busy writers get a few busy timeouts
// before the lock is given up on, as the lock is taken once for the whole work.
LockedDatabase::LockedDatabase(const std::string& path, const std::string& password)
    : m_database(detail::OpenFile(path, password)), m_password(password) {
    m_database->Run("PRAGMA main.locking_mode = EXCLUSIVE");
    for (int attempt = 1;; ++attempt) {
        try {
            m_database->Run("BEGIN EXCLUSIVE; COMMIT");
            detail::SqliteStatement mode(*m_database, "PRAGMA main.journal_mode");
            m_writeAheadLog = mode.Step() && mode.ColumnText(0) == "wal";
            return;
        } catch (const DataAccessError& error) {
            if ((error.EngineCode() & 0xff) != SQLITE_BUSY) {
                throw;
            }
            if (attempt == kLockAttempts) {
                throw DataAccessError(
                    fmt::format("Cannot take the exclusive lock of '{}': other connections kept "
                                "it busy (database is locked)",
                                path),
                    error.EngineCode());
            }
        }
    }
}

LockedDatabase::~LockedDatabase() {
    m_database->Close();
    for (const detail::SqliteDatabasePtr& reader : m_readers) {
        reader->Close();
    }
}

void LockedDatabase::ExportCopy(const std::string& copyPath) const {
    detail::ExportInto(*m_database, copyPath, m_password);
}

// A session without locks reads a file that stays as it is only because this one's exclusive
// lock keeps writers out; write-ahead-log files need the log's shared memory, which such a
// session cannot use, and are read through the locked session once the export is done.
std::future<DatabaseContents> LockedDatabase::ContentsInBackground() const {
    if (m_writeAheadLog) {
        return std::async(std::launch::deferred,
                          [this] { return detail::ReadContentsOf(*m_database); });
    }
    return std::async(std::launch::async, [this] {
        ConnectionSettings settings;
        settings.path = m_database->Path();
        settings.password = m_password;
        detail::SqliteDatabasePtr reader = detail::OpenUnlockedReader(settings);
        {
            std::lock_guard<std::mutex> keeping(m_readersMutex);
            m_readers.push_back(reader);
        }
        return detail::ReadContentsOf(*reader);
    });
}

// The backup writes through this session's pager, so the original's own journal makes the
// replacement all or nothing across a crash, and the lock held keeps writers out meanwhile.
void LockedDatabase::WriteBack(const std::string& copyPath) const {
    detail::SqliteDatabasePtr copy = detail::OpenFile(copyPath, m_password);
    sqlite3_backup* backup =
        sqlite3_backup_init(m_database->Handle(), "main", copy->Handle(), "main");
    if (backup == nullptr) {
        m_database->ThrowLastError(
            fmt::format("Cannot write '{}' back into '{}'", copyPath, m_database->Path()));
    }
    FinishBackup(backup, sqlite3_backup_step(backup, -1), *m_database, copyPath);
}

}  // namespace vesk::data_access
