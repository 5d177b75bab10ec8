#pragma once

#include <cstdint>
#include <string>

namespace vesk::files {

// Attribute for FirstMatch: folders match as well as files.
inline constexpr int FolderAttribute = 16;

// Name (without its folder) of the first entry, in name order, matching `pattern`, whose last
// part may hold the wildcards '*' and '?'; "" when nothing matches or the folder is missing.
// Files only, unless `attributes` holds FolderAttribute, which adds folders ("." and ".." never).
std::string FirstMatch(const std::string& pattern, int attributes = 0);

// Deletes every file (never a folder) matching `pattern` as FirstMatch does and returns how
// many were deleted; no match is not a failure. Throws FileError when a deletion fails.
int DeleteMatching(const std::string& pattern);

// Creates the folder `path`; its parent must exist. Throws FileError when the folder exists
// already or cannot be made.
void CreateFolder(const std::string& path);

// Renames `from` to `to` in one atomic step, replacing an existing file `to`. Both must be on
// the same file system. Throws FileError on failure.
void RenameFile(const std::string& from, const std::string& to);

// Length in bytes of the file at `path`. Throws FileError when it is missing or not a file.
std::int64_t FileLength(const std::string& path);

// Absolute path, links resolved, of the loaded library or program file that holds the code or
// data at `address`. Throws FileError when the address belongs to no loaded file.
std::string LibraryFile(const void* address);

// Absolute folder (no trailing '/') of the loaded library or program file that holds the code
// or data at `address`. Throws FileError when the address belongs to no loaded file.
std::string LibraryFolder(const void* address);

}  // namespace vesk::files
