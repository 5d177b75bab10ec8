#pragma once

#include <string>

// Replacing a database file so that the file at its name is always either the whole old
// database or the whole new one, even across a crash. Failures throw files::FileError.
namespace vesk::database_utilities::detail {

// Puts the file `replacement` (on `target`'s file system) in the place of `target` by one atomic
// rename, after flushing it to disk with `target`'s mode and (where allowed) owner, and then
// flushes `target`'s folder.
void ReplaceFile(const std::string& replacement, const std::string& target);

// Keeps the present file `path` also under `keepPath`, or when that name is taken under the
// first free one of `keepPath` + ".1", ".2", ..., never replacing a file and never moving
// `path` away. Returns the name used.
std::string KeepFileAs(const std::string& path, const std::string& keepPath);

// True when `path` names a regular file.
bool IsRegularFile(const std::string& path);

}  // namespace vesk::database_utilities::detail
