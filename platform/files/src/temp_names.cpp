#include "vesk/files/temp_names.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "vesk/files/file_error.h"

namespace vesk::files {

std::string TempFolder() {
    const char* configured = std::getenv("TMPDIR");
    std::string folder = configured != nullptr && *configured != '\0' ? configured : "/tmp";
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string CreateTempFile(const std::string& folder, const std::string& prefix) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    path += prefix + "XXXXXX";
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        throw FileError("Cannot create a temporary file", path,
                        std::error_code(errno, std::generic_category()));
    }
    ::close(fd);
    return name.data();
}

std::string FreshTempName(const std::string& prefix) {
    const std::string path = CreateTempFile(TempFolder(), prefix);
    if (::unlink(path.c_str()) != 0) {
        throw FileError("Cannot remove the temporary file", path,
                        std::error_code(errno, std::generic_category()));
    }
    return path;
}

}  // namespace vesk::files
