#include "own_temporary_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "vesk/files/file_error.h"

namespace vesk::database_utilities::detail {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kUniqueLength = 6;

std::string FolderOf(const std::string& stem) {
    std::string folder = fs::path(stem).parent_path().string();
    return folder.empty() ? "." : folder;
}

// Whether the file name `name` is stem's name + "-" + six letters or digits + `extension`.
bool MatchesPattern(const std::string& name, const std::string& stemName,
                    const std::string& extension) {
    const std::string head = stemName + "-";
    if (name.size() != head.size() + kUniqueLength + extension.size() ||
        name.compare(0, head.size(), head) != 0 ||
        name.compare(name.size() - extension.size(), extension.size(), extension) != 0) {
        return false;
    }
    for (std::size_t index = head.size(); index < head.size() + kUniqueLength; ++index) {
        if (!std::isalnum(static_cast<unsigned char>(name[index]))) {
            return false;
        }
    }
    return true;
}

// Removes `path` when it is a regular file of this user that no live run holds locked.
bool RemoveIfAbandoned(const std::string& path) {
    int descriptor = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    struct stat status {};
    bool abandoned = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
                     status.st_uid == ::geteuid() && ::flock(descriptor, LOCK_EX | LOCK_NB) == 0;
    bool removed = abandoned && ::unlink(path.c_str()) == 0;
    ::close(descriptor);
    return removed;
}

}  // namespace

OwnTemporaryFile::OwnTemporaryFile(const std::string& stem, const std::string& extension)
    : m_path(stem + "-" + std::string(kUniqueLength, 'X') + extension) {
    m_descriptor = ::mkostemps(m_path.data(), static_cast<int>(extension.size()), O_CLOEXEC);
    if (m_descriptor < 0) {
        throw files::FileError("Cannot create a temporary file in", FolderOf(stem),
                               std::error_code(errno, std::generic_category()));
    }
    ::flock(m_descriptor, LOCK_EX);
}

OwnTemporaryFile::~OwnTemporaryFile() {
    if (m_descriptor >= 0) {
        ::unlink(m_path.c_str());
        ::close(m_descriptor);
    }
}

void OwnTemporaryFile::Release() {
    ::close(m_descriptor);
    m_descriptor = -1;
}

int OwnTemporaryFile::RemoveLeftovers(const std::string& stem, const std::string& extension) {
    const std::string stemName = fs::path(stem).filename().string();
    std::error_code error;
    int removed = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(FolderOf(stem), error)) {
        std::string name = entry.path().filename().string();
        if (MatchesPattern(name, stemName, extension) && RemoveIfAbandoned(entry.path().string())) {
            ++removed;
        }
    }
    return removed;
}

}  // namespace vesk::database_utilities::detail
