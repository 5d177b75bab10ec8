#include "photo_file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "vesk/files/file_error.h"

namespace vesk::photo {

namespace {

using platform::FileError;

std::error_code LastError() {
    return {errno, std::generic_category()};
}

constexpr int kNameAttempts = 100;

// `prefix` followed by six random letters and digits.
std::string RandomName(const std::string& prefix) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = prefix;
    for (int letter = 0; letter < 6; ++letter) {
        name += kLetters[random() % (sizeof(kLetters) - 1)];
    }
    return name;
}

// Opens a new file with a random name after `prefix`, created exclusively with the permissions
// the umask leaves of 0666, and returns its descriptor; `name` receives its path.
int CreateExclusively(const std::string& prefix, std::string& name) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        name = RandomName(prefix);
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// Writes `bytes` to a new file beside `path` and returns its name; the file is complete on
// disk before the name is returned. `mode`, when not 0, replaces the umask's permissions.
std::string WriteNewFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         mode_t mode) {
    std::string name;
    int fd = CreateExclusively(path + ".tmp-", name);
    if (fd < 0) {
        throw FileError("Cannot create a file beside", path, LastError());
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        ssize_t result = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result <= 0) {
            std::error_code error =
                result < 0 ? LastError() : std::make_error_code(std::errc::io_error);
            ::close(fd);
            ::unlink(name.c_str());
            throw FileError("Cannot write", name, error);
        }
        written += static_cast<std::size_t>(result);
    }
    bool failed = (mode != 0 && ::fchmod(fd, mode) != 0) || ::fsync(fd) != 0;
    std::error_code error = LastError();
    if (::close(fd) != 0 && !failed) {
        failed = true;
        error = LastError();
    }
    if (failed) {
        ::unlink(name.c_str());
        throw FileError("Cannot write", name, error);
    }
    return name;
}

// Makes a second link to `path` under a new random name beside it; "" when none can be made
// (a file system without hard links, say).
std::string SecondLink(const std::string& path) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = RandomName(path + ".held-");
        if (::link(path.c_str(), name.c_str()) == 0) {
            return name;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return {};
}

}  // namespace

PhotoFileWrite::~PhotoFileWrite() {
    if (m_pending) {
        Undo();
    }
}

void PhotoFileWrite::HoldPrevious() {
    struct stat status {};
    m_hadPrevious = ::lstat(m_path.c_str(), &status) == 0;
    if (!m_hadPrevious) {
        return;
    }
    if (!S_ISREG(status.st_mode)) {
        throw FileError("Not replaced: the name is taken by something other than a file", m_path,
                        std::make_error_code(std::errc::file_exists));
    }
    m_previousMode = status.st_mode & 07777;
    m_heldPath = SecondLink(m_path);
    if (!m_heldPath.empty()) {
        return;
    }
    std::ifstream previous(m_path, std::ios::binary);
    if (!previous) {
        throw FileError("Cannot read", m_path, LastError());
    }
    m_heldBytes.assign(std::istreambuf_iterator<char>(previous), {});
}

void PhotoFileWrite::Write(const platform::Picture& picture, const std::string& path) {
    std::vector<std::uint8_t> bytes = picture.ToBytes();
    m_path = path;
    HoldPrevious();
    std::string written;
    try {
        written = WriteNewFile(path, bytes, m_previousMode);
        if (::rename(written.c_str(), path.c_str()) != 0) {
            throw FileError("Cannot put the photo file in place", path, LastError());
        }
    } catch (...) {
        if (!written.empty()) {
            ::unlink(written.c_str());
        }
        if (!m_heldPath.empty()) {
            ::unlink(m_heldPath.c_str());
        }
        throw;
    }
    m_pending = true;
}

void PhotoFileWrite::Keep() {
    if (!m_heldPath.empty()) {
        ::unlink(m_heldPath.c_str());
    }
    m_pending = false;
}

bool PhotoFileWrite::Undo() {
    if (!m_pending) {
        return true;
    }
    m_pending = false;
    if (!m_hadPrevious) {
        return ::unlink(m_path.c_str()) == 0;
    }
    if (!m_heldPath.empty()) {
        return ::rename(m_heldPath.c_str(), m_path.c_str()) == 0;
    }
    try {
        std::string restored = WriteNewFile(m_path, m_heldBytes, m_previousMode);
        return ::rename(restored.c_str(), m_path.c_str()) == 0;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace vesk::photo
