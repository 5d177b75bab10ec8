#include "vesk/files/pending_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <system_error>

#include "vesk/files/file_error.h"

namespace vesk::files {

namespace {

constexpr int kNameAttempts = 100;
constexpr char kMarker[] = ".tmp-";
constexpr std::size_t kRandomLength = 6;

std::error_code LastError() {
    return {errno, std::generic_category()};
}

bool IsLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Removes `path` when it is a regular file that no writer holds locked.
bool RemoveIfAbandoned(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat status {};
    bool abandoned =
        ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    bool removed = abandoned && ::unlink(path.c_str()) == 0;
    ::close(fd);
    return removed;
}

}  // namespace

std::string RandomLetters() {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string letters;
    for (std::size_t letter = 0; letter < kRandomLength; ++letter) {
        letters += kLetters[random() % (sizeof(kLetters) - 1)];
    }
    return letters;
}

PendingFile::PendingFile(std::string target, unsigned mode)
    : m_target(std::move(target)), m_mode(mode) {
    for (int attempt = 0; attempt < kNameAttempts && m_fd < 0; ++attempt) {
        m_temporary = m_target + kMarker + RandomLetters();
        m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (m_fd < 0) {
        throw FileError("Cannot create a file beside", m_target, LastError());
    }
    // Held until the file is in place, so that a clean-up never takes a file being written.
    ::flock(m_fd, LOCK_EX);
}

PendingFile::~PendingFile() {
    Discard();
}

void PendingFile::Discard() {
    if (m_fd >= 0) {
        ::unlink(m_temporary.c_str());
        ::close(m_fd);
        m_fd = -1;
    }
}

void PendingFile::Write(const std::uint8_t* data, std::size_t size) {
    std::size_t written = 0;
    while (written < size) {
        ssize_t result = ::write(m_fd, data + written, size - written);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result <= 0) {
            throw FileError("Cannot write", m_temporary,
                            result < 0 ? LastError() : std::make_error_code(std::errc::io_error));
        }
        written += static_cast<std::size_t>(result);
    }
}

void PendingFile::Finish() {
    if ((m_mode != 0 && ::fchmod(m_fd, m_mode) != 0) || ::fsync(m_fd) != 0) {
        throw FileError("Cannot write", m_temporary, LastError());
    }
}

void PendingFile::Replace() {
    Finish();
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        throw FileError("Cannot put the file in place", m_target, LastError());
    }
    ::close(m_fd);
    m_fd = -1;
}

bool PendingFile::CreateIfAbsent() {
    Finish();
    if (::link(m_temporary.c_str(), m_target.c_str()) != 0) {
        if (errno == EEXIST) {
            Discard();
            return false;
        }
        throw FileError("Cannot put the file in place", m_target, LastError());
    }
    Discard();
    return true;
}

void ReplaceFileWith(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    struct stat status {};
    unsigned mode = 0;
    if (::lstat(path.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) {
            throw FileError("Not replaced: the name is taken by something other than a file", path,
                            std::make_error_code(std::errc::file_exists));
        }
        mode = status.st_mode & 07777;
    }
    PendingFile file(path, mode);
    file.Write(bytes.data(), bytes.size());
    file.Replace();
}

bool IsPendingFileName(const std::string& name, const std::string& suffix) {
    std::size_t markerLength = sizeof(kMarker) - 1;
    if (name.size() <= suffix.size() + markerLength + kRandomLength) {
        return false;
    }
    std::size_t markerAt = name.size() - kRandomLength - markerLength;
    if (name.compare(markerAt, markerLength, kMarker) != 0 ||
        name.compare(markerAt - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    for (std::size_t at = markerAt + markerLength; at < name.size(); ++at) {
        if (!IsLetterOrDigit(name[at])) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> RemoveLeftoverTemporaries(const std::string& folder,
                                                   const std::string& suffix) {
    std::vector<std::string> removed;
    DIR* listing = ::opendir(folder.c_str());
    if (!listing) {
        return removed;
    }
    std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    while (const dirent* entry = ::readdir(listing)) {
        std::string name = entry->d_name;
        if (IsPendingFileName(name, suffix) && RemoveIfAbandoned(prefix + name)) {
            removed.push_back(prefix + name);
        }
    }
    ::closedir(listing);
    return removed;
}

}  // namespace vesk::files
