#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vesk::files {

// A new file written under a temporary name beside its target (the target's name, ".tmp-" and
// six random letters or digits), created exclusively and held locked while it is written, then
// put at the target whole in one step. A temporary never put in place is removed when the
// object goes.
class PendingFile {
public:
    // Creates the temporary beside `target`. `mode` 0 gives the permissions the umask leaves of
    // 0666; any other mode replaces them. Throws FileError when it cannot be created.
    explicit PendingFile(std::string target, unsigned mode = 0);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Appends `size` bytes. Throws FileError.
    void Write(const std::uint8_t* data, std::size_t size);
    // Forces the bytes to disk and renames the file over the target. Throws FileError, leaving
    // the target as it was.
    void Replace();
    // Forces the bytes to disk and gives the file the target's name only when nothing stands
    // there; returns false (removing the temporary) when something does. Throws FileError.
    bool CreateIfAbsent();

    const std::string& TemporaryPath() const { return m_temporary; }

private:
    void Finish();
    void Discard();

    std::string m_target;
    std::string m_temporary;
    unsigned m_mode = 0;
    int m_fd = -1;
};

// Writes `bytes` to `path` in one atomic step. A file that stood there keeps its permissions;
// a new one gets what the umask leaves of 0666. A name held by a link, a folder or a device
// is refused. Throws FileError, leaving `path` as it was.
void ReplaceFileWith(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Six random letters and digits, for names made unique by trying them exclusively.
std::string RandomLetters();

// Whether `name` is one that PendingFile gives a temporary for a target whose name ends in
// `suffix` (any target when `suffix` is empty).
bool IsPendingFileName(const std::string& name, const std::string& suffix);

// Removes from `folder` the temporaries a writer that was stopped left behind: regular files
// (never links) named as IsPendingFileName says that no running writer holds. Returns the
// paths removed; one that cannot be removed is skipped.
std::vector<std::string> RemoveLeftoverTemporaries(const std::string& folder,
                                                   const std::string& suffix);

}  // namespace vesk::files
