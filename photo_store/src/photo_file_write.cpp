#include "photo_file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>

#include "vesk/files/file_error.h"
#include "vesk/files/pending_file.h"

namespace vesk::photo_store {

namespace {

using files::FileError;

std::error_code LastError() {
    return {errno, std::generic_category()};
}

constexpr int kNameAttempts = 100;

// Puts `bytes` at `path` in one atomic rename. `mode`, when not 0, replaces the umask's
// permissions.
void ReplaceWith(const std::string& path, const std::vector<std::uint8_t>& bytes, mode_t mode) {
    files::PendingFile file(path, mode);
    file.Write(bytes.data(), bytes.size());
    file.Replace();
}

// Makes a second link to `path` under a new random name beside it; "" when none can be made
// (a file system without hard links, say).
std::string SecondLink(const std::string& path) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = path + ".held-" + files::RandomLetters();
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

void PhotoFileWrite::Write(const picture::Picture& picture, const std::string& path) {
    std::vector<std::uint8_t> bytes = picture.ToBytes();
    m_path = path;
    HoldPrevious();
    try {
        ReplaceWith(path, bytes, m_previousMode);
    } catch (...) {
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
        ReplaceWith(m_path, m_heldBytes, m_previousMode);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace vesk::photo_store
