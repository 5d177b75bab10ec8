#include "file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "vesk/files/file_error.h"
#include "vesk/files/file_system.h"

namespace vesk::database_utilities::detail {

namespace {

namespace fs = std::filesystem;
using files::FileError;

// How many names KeepFileAs tries before it gives up.
constexpr int kKeepNames = 1000;

[[noreturn]] void ThrowSystemError(const std::string& operation, const std::string& path) {
    throw FileError(operation, path, std::error_code(errno, std::generic_category()));
}

std::string FolderOf(const std::string& path) {
    std::string folder = fs::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

// Flushes the file or folder `path` to disk.
void SyncPath(const std::string& path, int flags) {
    int descriptor = ::open(path.c_str(), flags | O_CLOEXEC);
    if (descriptor < 0) {
        ThrowSystemError("Cannot open for flushing", path);
    }
    int result = ::fsync(descriptor);
    int error = errno;
    ::close(descriptor);
    if (result != 0) {
        errno = error;
        ThrowSystemError("Cannot flush", path);
    }
}

struct stat StatusOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        ThrowSystemError("Cannot look up", path);
    }
    return status;
}

// Gives `replacement` the mode of `original`, and its owner and group where this user may.
void TakeModeAndOwner(const std::string& replacement, const struct stat& original) {
    if (::chown(replacement.c_str(), original.st_uid, original.st_gid) != 0) {
        [[maybe_unused]] int ignored = ::chown(replacement.c_str(), -1, original.st_gid);
    }
    if (::chmod(replacement.c_str(), original.st_mode & 07777) != 0) {
        ThrowSystemError("Cannot set the mode of", replacement);
    }
}

// Makes `name` a second name of `path`, or else a copy of it; false when `name` is taken.
bool KeepUnder(const std::string& path, const std::string& name) {
    if (::link(path.c_str(), name.c_str()) == 0) {
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    std::error_code error;
    fs::copy_file(path, name, fs::copy_options::none, error);
    if (error == std::errc::file_exists) {
        return false;
    }
    if (error) {
        throw FileError("Cannot keep a copy of '" + path + "' as", name, error);
    }
    SyncPath(name, O_RDONLY);
    return true;
}

}  // namespace

void ReplaceFile(const std::string& replacement, const std::string& target) {
    std::string folder = FolderOf(target);
    TakeModeAndOwner(replacement, StatusOf(target));
    SyncPath(replacement, O_RDONLY);
    files::RenameFile(replacement, target);
    SyncPath(folder, O_RDONLY | O_DIRECTORY);
}

std::string KeepFileAs(const std::string& path, const std::string& keepPath) {
    for (int number = 0; number < kKeepNames; ++number) {
        std::string name = number == 0 ? keepPath : keepPath + "." + std::to_string(number);
        if (KeepUnder(path, name)) {
            return name;
        }
    }
    throw FileError("Cannot keep a copy of '" + path + "' as", keepPath,
                    std::make_error_code(std::errc::file_exists));
}

bool IsRegularFile(const std::string& path) {
    std::error_code ignored;
    return fs::is_regular_file(path, ignored);
}

}  // namespace vesk::database_utilities::detail
