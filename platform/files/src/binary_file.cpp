#include "vesk/files/binary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "vesk/files/file_error.h"

namespace vesk::files {

namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

}  // namespace

BinaryFile::BinaryFile(const std::string& path, Mode mode) : m_path(path), m_mode(mode) {
    const int flags = mode == Mode::Read ? O_RDONLY : O_WRONLY | O_CREAT | O_TRUNC;
    m_fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        throw FileError(mode == Mode::Read ? "Cannot open for reading" : "Cannot open for writing",
                        path, LastError());
    }
}

BinaryFile::~BinaryFile() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept
    : m_path(std::move(other.m_path)), m_mode(other.m_mode), m_fd(std::exchange(other.m_fd, -1)) {}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_path = std::move(other.m_path);
        m_mode = other.m_mode;
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

std::vector<std::uint8_t> BinaryFile::Read(std::size_t count) {
    RequireOpen(Mode::Read);
    std::vector<std::uint8_t> bytes(count);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(m_fd, bytes.data() + done, count - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw FileError("Cannot read", m_path, LastError());
        }
        if (got == 0) {
            throw FileError("Cannot read '" + m_path + "': the file ends " +
                            std::to_string(count - done) + " bytes short");
        }
        done += static_cast<std::size_t>(got);
    }
    return bytes;
}

void BinaryFile::Write(std::span<const std::uint8_t> bytes) {
    RequireOpen(Mode::Write);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put < 0) {
            throw FileError("Cannot write", m_path, LastError());
        }
        done += static_cast<std::size_t>(put);
    }
}

std::int64_t BinaryFile::Length() const {
    RequireOpen(m_mode);
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) {
        throw FileError("Cannot read the length of", m_path, LastError());
    }
    return info.st_size;
}

void BinaryFile::Close() {
    if (m_fd < 0) {
        return;
    }
    const int result = ::close(std::exchange(m_fd, -1));
    if (result != 0 && errno != EINTR) {
        throw FileError("Cannot close", m_path, LastError());
    }
}

void BinaryFile::RequireOpen(Mode mode) const {
    if (m_fd < 0) {
        throw FileError("The file '" + m_path + "' is closed");
    }
    if (mode != m_mode) {
        throw FileError("The file '" + m_path + "' is not open for " +
                        (mode == Mode::Read ? "reading" : "writing"));
    }
}

}  // namespace vesk::files
