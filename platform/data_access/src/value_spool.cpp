#include "value_spool.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {

namespace {

[[noreturn]] void ThrowSpoolError(std::string_view what, int error) {
    throw DataAccessError(
        fmt::format("Cannot {} the value's temporary file: {}", what, std::strerror(error)));
}

std::string TemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? folder : "/tmp";
}

// Spool files are unlinked at once and kept for reuse: overwriting blocks a file already has
// costs the file system far less than allocating new ones for every value. A kept file that
// grew past kKeptFileLimit is cut back so that one huge value does not hold disk space.
constexpr std::size_t kKeptFiles = 4;
constexpr std::int64_t kKeptFileLimit = 16 * 1024 * 1024;

std::mutex& PoolMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<int>& KeptFiles() {
    static std::vector<int> files;
    return files;
}

int TakeSpoolFile() {
    {
        std::lock_guard lock(PoolMutex());
        if (!KeptFiles().empty()) {
            int fd = KeptFiles().back();
            KeptFiles().pop_back();
            return fd;
        }
    }
    std::string pattern = TemporaryFolder() + "/vesk-value-XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        ThrowSpoolError("create", errno);
    }
    ::unlink(pattern.c_str());
    return fd;
}

void ReturnSpoolFile(int fd, std::int64_t usedSize) {
    if (usedSize > kKeptFileLimit && ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return;
    }
    std::lock_guard lock(PoolMutex());
    if (KeptFiles().size() < kKeptFiles) {
        KeptFiles().push_back(fd);
        return;
    }
    ::close(fd);
}

}  // namespace

ValueSpool::ValueSpool(std::size_t memoryLimit) : m_memoryLimit(memoryLimit) {}

ValueSpool::~ValueSpool() {
    if (m_fd >= 0) {
        ReturnSpoolFile(m_fd, m_size);
    }
}

void ValueSpool::Append(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return;
    }
    if (m_fd < 0 && m_memory.size() + bytes.size() <= m_memoryLimit) {
        m_memory.insert(m_memory.end(), bytes.begin(), bytes.end());
        m_size += static_cast<std::int64_t>(bytes.size());
        return;
    }
    if (m_fd < 0) {
        MoveToFile();
    }
    WriteToFile(bytes);
}

void ValueSpool::MoveToFile() {
    m_fd = TakeSpoolFile();
    std::int64_t heldSize = m_size;
    m_size = 0;
    try {
        WriteToFile(m_memory);
    } catch (...) {
        ReturnSpoolFile(m_fd, m_size);
        m_fd = -1;
        m_size = heldSize;
        throw;
    }
    Bytes().swap(m_memory);
}

void ValueSpool::WriteToFile(std::span<const std::uint8_t> bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        ssize_t result = ::pwrite(m_fd, bytes.data() + written, bytes.size() - written,
                                  m_size + static_cast<std::int64_t>(written));
        if (result < 0) {
            if (errno == EINTR) {
                continue;
            }
            // The size is unchanged; bytes written past it are never read.
            ThrowSpoolError("write", errno);
        }
        written += static_cast<std::size_t>(result);
    }
    m_size += static_cast<std::int64_t>(bytes.size());
}

std::size_t ValueSpool::ReadAt(std::int64_t offset, std::span<std::uint8_t> out) const {
    if (offset < 0 || offset >= m_size) {
        return 0;
    }
    std::size_t wanted =
        static_cast<std::size_t>(std::min<std::int64_t>(out.size(), m_size - offset));
    if (m_fd < 0) {
        std::memcpy(out.data(), m_memory.data() + offset, wanted);
        return wanted;
    }
    std::size_t done = 0;
    while (done < wanted) {
        ssize_t result = ::pread(m_fd, out.data() + done, wanted - done,
                                 offset + static_cast<std::int64_t>(done));
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result <= 0) {
            ThrowSpoolError("read", result < 0 ? errno : EIO);
        }
        done += static_cast<std::size_t>(result);
    }
    return done;
}

Bytes ValueSpool::ReadAll() const {
    Bytes bytes(static_cast<std::size_t>(m_size));
    ReadAt(0, bytes);
    return bytes;
}

}  // namespace vesk::data_access::detail
