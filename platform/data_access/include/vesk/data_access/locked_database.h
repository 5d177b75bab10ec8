#pragma once

#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "vesk/data_access/database_file.h"

namespace vesk::data_access {

namespace detail {
class SqliteDatabase;
}

// An embedded database file held under the engine's exclusive lock from construction until
// the object goes: other connections wait (up to their busy timeout) and then see every
// change made through it, so nothing they write in between is lost or written elsewhere.
class LockedDatabase {
public:
    // Opens `path` with `password` (empty: none) and takes its exclusive lock. Throws
    // DataAccessError when the file cannot be opened or stays busy past the busy timeout.
    LockedDatabase(const std::string& path, const std::string& password);
    ~LockedDatabase();
    LockedDatabase(const LockedDatabase&) = delete;
    LockedDatabase& operator=(const LockedDatabase&) = delete;

    // Writes a compacted copy (schema, rows, user version, no free pages, the same key) into
    // the existing empty file `copyPath`. Throws; a failure may leave a partial copy.
    void ExportCopy(const std::string& copyPath) const;

    // The schema, row counts, row checksums and user version, read under the lock. Unless the
    // file is in write-ahead-log mode, they are read on another thread through a second,
    // read-only session (the lock held here keeps every writer out), so that ExportCopy may
    // run meanwhile; else when the result is asked for. The future's get() throws as the
    // reading does.
    std::future<DatabaseContents> ContentsInBackground() const;

    // Replaces the whole content by that of the database file `copyPath` (same key) in one
    // journalled transaction of this file, which keeps its name, inode, mode and owner.
    // Throws, leaving the content as it was, when the copy cannot be written back.
    void WriteBack(const std::string& copyPath) const;

private:
    std::shared_ptr<detail::SqliteDatabase> m_database;
    std::string m_password;
    bool m_writeAheadLog = false;
    // The second sessions close only after m_database: closing a descriptor of the file
    // drops every lock this process holds on it.
    mutable std::mutex m_readersMutex;
    mutable std::vector<std::shared_ptr<detail::SqliteDatabase>> m_readers;
};

}  // namespace vesk::data_access
