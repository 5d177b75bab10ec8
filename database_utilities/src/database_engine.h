#pragma once

#include <string>

#include "vesk/data_access/database_file.h"

// The embedded database engine as compaction and repair use it.
namespace vesk::database_utilities::detail {

// Where a compaction puts its temporary file: `stem` + "-" + six random characters +
// `extension`, a pattern that only this database's compactions use.
struct CompactionTemp {
    std::string stem;
    std::string extension;
};

// How a checked compacted copy takes the database's place.
enum class CompactionReplacement {
    // Written back through the database's own journal: the file keeps its inode, and
    // connections opened before see the compacted content.
    WriteBack,
    // Renamed over the database when it is a regular file with one name on the copy's file
    // system (else written back): half the writing, but connections opened before keep the
    // old file, and their writes are refused by the engine from then on.
    Rename,
};

// Stands for the engine object the utilities share: one per thread, made on first use and
// kept until the library goes. Every operation throws with the engine's description.
class DatabaseEngine {
public:
    // Compacts `source` (key `password`) in place under its exclusive lock: leftovers of a
    // killed run are removed, the copy is written to a new temporary file, checked to be
    // sound and to hold this database's rows, and put in the place of `source` as
    // `replacement` says.
    void CompactDatabase(const std::string& source, const CompactionTemp& temp,
                         const std::string& password, CompactionReplacement replacement) const;

    // Opens the unkeyed database `path` and closes it again at once.
    void OpenDatabase(const std::string& path) const;

    // Checks the file `path` (keyed with `password`; empty: none); a damaged one is rebuilt
    // from every readable row into a new file, keyed alike, that takes its place (with its
    // mode and owner), the damaged file kept as `path` + ".damaged" (or the first free
    // ".damaged.N"), whose name `keptAs` receives. Returns what each table kept and lost;
    // empty when sound.
    data_access::SalvageReport RepairDatabase(const std::string& path, const std::string& password,
                                              std::string& keptAs) const;
};

// The calling thread's engine.
const DatabaseEngine& Engine();

}  // namespace vesk::database_utilities::detail
