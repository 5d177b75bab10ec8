#include "vesk/files/file_system.h"

#include <dlfcn.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "vesk/files/file_error.h"
#include "wildcard.h"

namespace vesk::files {

namespace fs = std::filesystem;

namespace {

struct SplitPattern {
    fs::path folder;
    std::string namePattern;
};

// Splits at the last '/': wildcards are allowed only in the last part. Trailing slashes are
// dropped first so that "a/b/" names the folder b itself.
SplitPattern Split(std::string pattern) {
    while (pattern.size() > 1 && pattern.back() == '/') {
        pattern.pop_back();
    }
    const auto slash = pattern.rfind('/');
    if (slash == std::string::npos) {
        return {".", pattern};
    }
    return {slash == 0 ? fs::path("/") : fs::path(pattern.substr(0, slash)),
            pattern.substr(slash + 1)};
}

bool Qualifies(const fs::file_status& status, bool withFolders) {
    return fs::is_regular_file(status) || (withFolders && fs::is_directory(status));
}

// Names in `split.folder` that match, in name order.
std::vector<std::string> MatchingNames(const SplitPattern& split, bool withFolders) {
    std::error_code error;
    if (!HasWildcard(split.namePattern)) {
        const bool found =
            !split.namePattern.empty() &&
            Qualifies(fs::status(split.folder / split.namePattern, error), withFolders);
        return found ? std::vector<std::string>{split.namePattern} : std::vector<std::string>{};
    }
    std::vector<std::string> names;
    for (fs::directory_iterator it(split.folder, error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().string();
        std::error_code statusError;
        if (MatchesWildcard(name, split.namePattern) &&
            Qualifies(it->status(statusError), withFolders)) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::string FirstMatch(const std::string& pattern, int attributes) {
    const auto names = MatchingNames(Split(pattern), (attributes & FolderAttribute) != 0);
    return names.empty() ? std::string() : names.front();
}

int DeleteMatching(const std::string& pattern) {
    const SplitPattern split = Split(pattern);
    int deleted = 0;
    for (const auto& name : MatchingNames(split, false)) {
        const fs::path path = split.folder / name;
        std::error_code error;
        if (!fs::remove(path, error) && error) {
            throw FileError("Cannot delete", path.string(), error);
        }
        ++deleted;
    }
    return deleted;
}

void CreateFolder(const std::string& path) {
    std::error_code error;
    if (!fs::create_directory(path, error)) {
        throw FileError("Cannot create folder", path,
                        error ? error : std::make_error_code(std::errc::file_exists));
    }
}

void RenameFile(const std::string& from, const std::string& to) {
    std::error_code error;
    fs::rename(from, to, error);
    if (error) {
        throw FileError("Cannot rename '" + from + "' to '" + to + "': " + error.message());
    }
}

std::int64_t FileLength(const std::string& path) {
    std::error_code error;
    const auto length = fs::file_size(path, error);
    if (error) {
        throw FileError("Cannot read the length of", path, error);
    }
    return static_cast<std::int64_t>(length);
}

std::string LibraryFile(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr || *info.dli_fname == '\0') {
        throw FileError("No loaded library or program holds the given address");
    }
    // The main program is reported under the name it was started with, which may be relative
    // to a folder the process has since left; the kernel knows its real path.
    const std::string name = info.dli_fname;
    std::error_code error;
    const fs::path file = name == program_invocation_name
                              ? fs::read_symlink("/proc/self/exe", error)
                              : fs::weakly_canonical(fs::absolute(name, error), error);
    if (error) {
        throw FileError("Cannot resolve the path of", name, error);
    }
    return file.string();
}

std::string LibraryFolder(const void* address) {
    return fs::path(LibraryFile(address)).parent_path().string();
}

}  // namespace vesk::files
