#pragma once

#include <string>

// The embedded database engine as compaction and repair use it.
namespace vesk::dbutil::detail {

// Stands for the engine object the utilities share: one per thread, made on first use and
// kept until the library goes. Every operation throws with the engine's description.
class DatabaseEngine {
public:
    // Writes the compacted copy of `source` (key `password`) to the new file `destination`
    // with the same key, and checks it: sound, with the same tables, rows and indexes.
    void CompactDatabase(const std::string& source, const std::string& destination,
                         const std::string& password) const;

    // Opens the unkeyed database `path` and closes it again at once.
    void OpenDatabase(const std::string& path) const;

    // Checks the unkeyed file `path`; a damaged one is rebuilt from every readable row into a
    // new file that takes its place, the damaged file kept as `path` + ".damaged".
    void RepairDatabase(const std::string& path) const;
};

// The calling thread's engine.
const DatabaseEngine& Engine();

}  // namespace vesk::dbutil::detail
